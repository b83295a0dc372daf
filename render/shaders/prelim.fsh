#version 120
#extension GL_EXT_texture_array : enable

// Pre-processing of the raw mosaic: temporal filter, degamma, calibration, linearisation,
// green balance and hot-pixel clamp. One value per sensor site; colours are separated later.

uniform sampler2DArray tex;      // window of raw frames, the centre frame in layer 3
uniform sampler2D dark;
uniform sampler2D psc;
uniform sampler2D polyC0;
uniform sampler2D polyC1;
uniform sampler2D polyC2;
uniform sampler2D polyC3;
uniform sampler1D linearizeLUT;

uniform int linearizationType;
uniform int calibMode;
uniform float ghostRemoval;
uniform int dark_sub;
uniform float dark_scale;
uniform int psc_scale;
uniform int hot_pix_dis;
uniform float tnk_thresh;
uniform int degamma;
uniform float greenBalanceValue;
uniform int tnk;
uniform vec4 sourceSize;         // width, height, 1/width, 1/height
uniform vec2 firstRed;           // position of a red site in frame coordinates

float layerValue(vec2 tc, float layer)
{
    return texture2DArray(tex, vec3(tc, layer)).r;
}

float temporalValue(vec2 tc)
{
    if (tnk != 1)
        return layerValue(tc, 0.0);
    float centre = layerValue(tc, 3.0);
    if (ghostRemoval > 0.0)
        centre = (1.0 - ghostRemoval) * centre + ghostRemoval * layerValue(tc, 2.0);
    // Dark areas get a tighter threshold: their noise is a larger share of the signal.
    float t = tnk_thresh / 10.0;
    if (centre < 0.5)
        t *= 2.0 * centre;
    float t2 = t * t;
    if (t2 <= 0.0)
        return centre;
    float sum = centre;
    float weights = 1.0;
    for (int i = 0; i < 7; ++i) {
        if (i == 3)
            continue;
        float p = layerValue(tc, float(i));
        float d = 255.0 * (centre - p);
        float w = exp(-(d * d) / t2);
        sum += w * p;
        weights += w;
    }
    return sum / weights;
}

float undoGamma(float p)
{
    if (degamma != 1)
        return p;
    float v = 255.0 * p;
    if (v < 46.0)
        return v / 1023.0;
    return min(pow(p, 1.8), 1.0);
}

// True when the cubic has turned (passed its extremum) between mid-scale and p: such a
// pixel is saturated and must read full scale rather than fold back down.
bool pastTurningPoint(float p, float c1, float c2, float c3)
{
    float D = c2 * c2 - 3.0 * c3 * c1;
    if (D <= 0.0)
        return false;
    float T = 3.0 * c3 * p + c2;
    float L = 3.0 * c3 * 0.5 + c2;
    bool a = c3 > 0.0 && (L < 0.0 || D > c2 * c2) && T > 0.0 && D < T * T;
    bool b = c3 < 0.0 && L > 0.0 && D < L * L && (T < 0.0 || D > T * T);
    bool c = c3 > 0.0 && L < 0.0 && D < L * L && (T > 0.0 || D > T * T);
    bool d = c3 < 0.0 && (L > 0.0 || D > L * L) && T < 0.0 && D < T * T;
    return a || b || c || d;
}

float calibrate(float p, vec2 tc)
{
    if (calibMode == 2) {
        float c0 = texture2D(polyC0, tc).r;
        float c1 = texture2D(polyC1, tc).r;
        float c2 = texture2D(polyC2, tc).r;
        float c3 = texture2D(polyC3, tc).r;
        if (pastTurningPoint(p, c1, c2, c3))
            return 1.0;
        return clamp(c0 + c1 * p + c2 * p * p + c3 * p * p * p, 0.0, 1.0);
    }
    if (dark_sub != 0) {
        float d = texture2D(dark, tc).r;
        if (degamma != 1)
            d *= 4.0;
        p = p > d ? min((p - d) * dark_scale, 1.0) : 0.0;
        if (psc_scale != 0)
            p *= texture2D(psc, tc).r;
    }
    return clamp(p, 0.0, 1.0);
}

// Steps that need only the site itself, at frame offset o (in pixels) from this fragment.
float siteValue(vec2 o)
{
    vec2 tc = gl_TexCoord[0].xy + o * sourceSize.zw;
    float p = calibrate(undoGamma(temporalValue(tc)), tc);
    if (linearizationType > 0)
        p = texture1D(linearizeLUT, p).r;
    return p;
}

void main()
{
    vec2 phase = mod(floor(gl_TexCoord[0].xy * sourceSize.xy) - firstRed, 2.0);
    bool green = phase.x != phase.y;
    float C = siteValue(vec2(0.0, 0.0));

    bool balance = green && greenBalanceValue > 0.0;
    float diag[4];
    if (green && (balance || hot_pix_dis == 0)) {
        diag[0] = siteValue(vec2(-1.0, -1.0));
        diag[1] = siteValue(vec2(1.0, -1.0));
        diag[2] = siteValue(vec2(-1.0, 1.0));
        diag[3] = siteValue(vec2(1.0, 1.0));
    }

    float centre = C;
    if (balance) {
        // The two green sites of a Bayer quad see slightly different crosstalk; pull the
        // centre towards similar diagonal greens only, so edges are left alone.
        float sum = centre;
        float weights = 1.0;
        for (int i = 0; i < 4; ++i) {
            float r = (diag[i] - C) / greenBalanceValue;
            float w = exp(-(r * r));
            sum += w * diag[i];
            weights += w;
        }
        centre = sum / weights;
    }

    if (hot_pix_dis == 0) {
        float lo = 1.0e9;
        float hi = -1.0e9;
        for (int dy = -2; dy <= 2; dy += 2) {
            for (int dx = -2; dx <= 2; dx += 2) {
                if (dx == 0 && dy == 0)
                    continue;
                float n = siteValue(vec2(float(dx), float(dy)));
                lo = min(lo, n);
                hi = max(hi, n);
            }
        }
        if (green) {
            for (int i = 0; i < 4; ++i) {
                lo = min(lo, diag[i]);
                hi = max(hi, diag[i]);
            }
        }
        centre = clamp(centre, lo, hi);
    }

    gl_FragColor = vec4(centre, 0.0, 0.0, 1.0);
}
