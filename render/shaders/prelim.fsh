#version 120

// Second step of pre-processing, on the per-site values of the filter step: green balance and
// hot-pixel clamp. One value per sensor site; colours are separated later. Built in variants:
// GREEN_BALANCE, HOT_PIXELS.

uniform sampler2D filtered;      // per-site values, laid out like the raw frames
uniform float greenBalanceValue;
uniform vec4 sourceSize;         // width, height, 1/width, 1/height
uniform vec2 firstRed;           // position of a red site in frame coordinates

// The site at frame offset o (in pixels) from this fragment; reads beyond the frame repeat
// its border.
float siteValue(vec2 o)
{
    return texture2D(filtered, gl_TexCoord[0].xy + o * sourceSize.zw).r;
}

void main()
{
    float centre = siteValue(vec2(0.0, 0.0));
#if defined(GREEN_BALANCE) || defined(HOT_PIXELS)
    vec2 phase = mod(floor(gl_TexCoord[0].xy * sourceSize.xy) - firstRed, 2.0);
    bool green = phase.x != phase.y;
    float C = centre;
    float diag[4];
    diag[0] = siteValue(vec2(-1.0, -1.0));
    diag[1] = siteValue(vec2(1.0, -1.0));
    diag[2] = siteValue(vec2(-1.0, 1.0));
    diag[3] = siteValue(vec2(1.0, 1.0));
#endif

#ifdef GREEN_BALANCE
    if (green) {
        // The two green sites of a Bayer quad see slightly different crosstalk; pull the
        // centre towards similar diagonal greens only, so edges are left alone.
        // exp(-r^2) as exp2(-r^2 log2(e)).
        float scale = 1.0 / greenBalanceValue;
        float sum = centre;
        float weights = 1.0;
        for (int i = 0; i < 4; ++i) {
            float r = (diag[i] - C) * scale;
            float w = exp2(-1.4426950 * (r * r));
            sum += w * diag[i];
            weights += w;
        }
        centre = sum / weights;
    }
#endif

#ifdef HOT_PIXELS
    float lo = 1.0e9;
    float hi = -1.0e9;
    // The eight same-colour sites two away: corners and cross ends of the 5x5 block.
    for (int k = 0; k < 8; ++k) {
        int i = k < 4 ? k : k + 1;
        float n = siteValue(vec2(float(i - 3 * (i / 3) - 1), float(i / 3 - 1)) * 2.0);
        lo = min(lo, n);
        hi = max(hi, n);
    }
    if (green) {
        for (int i = 0; i < 4; ++i) {
            lo = min(lo, diag[i]);
            hi = max(hi, diag[i]);
        }
    }
    centre = clamp(centre, lo, hi);
#endif

    gl_FragColor = vec4(centre, 0.0, 0.0, 1.0);
}
