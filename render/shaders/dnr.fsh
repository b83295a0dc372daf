#version 120

// Spatial noise reduction, sharpening and the colour stage (matrix, gains, gamma,
// saturation, brightness) on the demosaiced RGB image. Built in variants: DNR (with DNR_LUMA
// and DNR_CHROMA for the channels it filters) and SHARPEN.

uniform sampler2D tex;
uniform vec4 sourceSize;         // width, height, 1/width, 1/height
uniform float dnr_thresh;
uniform float dnr_y_thresh;
uniform float sharpen;
uniform float sharpen_thresh;
uniform vec3 red_vec;
uniform vec3 green_vec;
uniform vec3 blue_vec;
uniform vec3 offset_vec;
uniform vec3 gains;
uniform vec3 gamma;
uniform vec3 gamma_inverse;      // 1 / gamma
uniform vec3 gamma_toe_slope;    // slope of the linear toe: base^(1 / gamma) / base
uniform float color_boost;
uniform float brightness;

const vec3 LUMA = vec3(0.2126, 0.7152, 0.0722);
const float CHROMA = 0.5 / (1.0 - 0.0722);
const float LOG2_E = 1.4426950;

vec3 fetch(float dx, float dy)
{
    return texture2D(tex, gl_TexCoord[0].xy + vec2(dx, dy) * sourceSize.zw).rgb;
}

// (luma, blue difference, red difference)
vec3 toLumaChroma(vec3 c)
{
    float y = dot(c, LUMA);
    return vec3(y, CHROMA * (c.b - y), CHROMA * (c.r - y));
}

vec3 fromLumaChroma(vec3 ycc)
{
    float r = ycc.x + ycc.z / CHROMA;
    float b = ycc.x + ycc.y / CHROMA;
    float g = (ycc.x - LUMA.r * r - LUMA.b * b) / LUMA.g;
    return vec3(r, g, b);
}

float sharpening(float centre, float up, float down, float left, float right)
{
    float delta = 4.0 * centre - (up + down + left + right);
    return delta > sharpen_thresh / 255.0 ? delta * sharpen / 255.0 : 0.0;
}

float applyGamma(float v, float g, float inverse, float toeSlope)
{
    // A linear toe below the base keeps the curve's slope finite near black.
    const float base = 0.078125;
    return (v > base || g <= 1.0) ? pow(v, inverse) : v * toeSlope;
}

void main()
{
    vec3 rgb = fetch(0.0, 0.0);

#ifdef DNR
    vec2 pos = floor(gl_TexCoord[0].xy * sourceSize.xy);
    bool inside = all(greaterThanEqual(pos, vec2(3.0)))
                  && all(lessThan(pos, sourceSize.xy - vec2(3.0)));
    if (inside) {
        vec3 block[25];
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                block[(dy + 2) * 5 + dx + 2] = toLumaChroma(fetch(float(dx), float(dy)));
        vec3 c = block[12];
        vec3 result = c;
#ifdef DNR_LUMA
        {
            // One division for the block rather than one for each weight, and exp(x) as
            // exp2(x log2(e)) with the factor folded in.
            float scale = -LOG2_E / dnr_y_thresh;
            float sum = 0.0;
            float weights = 0.0;
            for (int i = 0; i < 25; ++i) {
                float d = c.x - block[i].x;
                float w = exp2((d * d) * scale);
                sum += w * block[i].x;
                weights += w;
            }
            result.x = sum / weights;
        }
#endif
#ifdef DNR_CHROMA
        {
            float scale = -LOG2_E / dnr_thresh;
            vec2 sum = vec2(0.0);
            vec2 weights = vec2(0.0);
            for (int i = 0; i < 25; ++i) {
                vec2 d = c.yz - block[i].yz;
                vec2 w = exp2((d * d) * scale);
                sum += w * block[i].yz;
                weights += w;
            }
            result.yz = sum / weights;
        }
#endif
#ifdef SHARPEN
        result.x += sharpening(c.x, block[7].x, block[17].x, block[11].x, block[13].x);
#endif
        rgb = fromLumaChroma(result);
    }
#else
    bool inside = false;
#endif
#ifdef SHARPEN
    if (!inside) {
        vec3 c = toLumaChroma(rgb);
        c.x += sharpening(c.x, dot(fetch(0.0, -1.0), LUMA), dot(fetch(0.0, 1.0), LUMA),
                          dot(fetch(-1.0, 0.0), LUMA), dot(fetch(1.0, 0.0), LUMA));
        rgb = fromLumaChroma(c);
    }
#endif

    rgb = clamp(vec3(dot(red_vec, rgb), dot(green_vec, rgb), dot(blue_vec, rgb)) + offset_vec,
                0.0, 1.0);
    rgb *= gains;
    rgb = vec3(applyGamma(rgb.r, gamma.r, gamma_inverse.r, gamma_toe_slope.r),
               applyGamma(rgb.g, gamma.g, gamma_inverse.g, gamma_toe_slope.g),
               applyGamma(rgb.b, gamma.b, gamma_inverse.b, gamma_toe_slope.b));
    if (color_boost != 1.0) {
        float P = sqrt(dot(rgb * rgb, vec3(0.299, 0.587, 0.114)));
        rgb = P + (rgb - P) * color_boost;
    }
    if (brightness != 0.0)
        rgb += brightness;
    gl_FragColor = vec4(rgb, 1.0);
}
