#version 120
#extension GL_EXT_texture_array : enable

// First step of pre-processing, once per sensor site: temporal filter over the frame window,
// degamma, calibration and linearisation. The neighbourhood steps read its result instead of
// repeating this for each neighbour. Built in variants: TEMPORAL (seven-frame window),
// CALIBRATION_POLYNOMIAL or CALIBRATION_DARK, LINEARIZE.

uniform sampler2DArray tex;      // window of raw frames, the centre frame in layer 3
uniform sampler2D dark;
uniform sampler2D psc;
uniform sampler2D poly;          // the coefficients c0..c3 of each pixel, one texel
uniform sampler1D linearizeLUT;

uniform float ghostRemoval;
uniform float dark_scale;
uniform int psc_scale;
uniform float tnk_thresh;
uniform int degamma;

float layerValue(vec2 tc, float layer)
{
    return texture2DArray(tex, vec3(tc, layer)).r;
}

#ifdef TEMPORAL
float temporalValue(vec2 tc)
{
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
    // exp(x) as exp2(x log2(e)), the factor folded into the one division per site.
    float scale = -1.4426950 / t2;
    float sum = centre;
    float weights = 1.0;
    // Layers 0, 1, 2, 4, 5, 6; a loop that skips the centre with "continue" would not be
    // unrolled, and software OpenGL runs a loop that is not unrolled many times slower.
    for (int k = 0; k < 6; ++k) {
        float p = layerValue(tc, float(k < 3 ? k : k + 1));
        float d = 255.0 * (centre - p);
        float w = exp2((d * d) * scale);
        sum += w * p;
        weights += w;
    }
    return sum / weights;
}
#else
float temporalValue(vec2 tc)
{
    return layerValue(tc, 0.0);
}
#endif

float undoGamma(float p)
{
    if (degamma != 1)
        return p;
    float v = 255.0 * p;
    if (v < 46.0)
        return v / 1023.0;
    return min(pow(p, 1.8), 1.0);
}

#if defined(CALIBRATION_POLYNOMIAL)
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
    vec4 c = texture2D(poly, tc);
    float c0 = c.r;
    float c1 = c.g;
    float c2 = c.b;
    float c3 = c.a;
    if (pastTurningPoint(p, c1, c2, c3))
        return 1.0;
    return clamp(c0 + c1 * p + c2 * p * p + c3 * p * p * p, 0.0, 1.0);
}
#elif defined(CALIBRATION_DARK)
float calibrate(float p, vec2 tc)
{
    float d = texture2D(dark, tc).r;
    if (degamma != 1)
        d *= 4.0;
    p = p > d ? min((p - d) * dark_scale, 1.0) : 0.0;
    if (psc_scale != 0)
        p *= texture2D(psc, tc).r;
    return clamp(p, 0.0, 1.0);
}
#else
float calibrate(float p, vec2 tc)
{
    return clamp(p, 0.0, 1.0);
}
#endif

void main()
{
    vec2 tc = gl_TexCoord[0].xy;
    float p = calibrate(undoGamma(temporalValue(tc)), tc);
#ifdef LINEARIZE
    p = texture1D(linearizeLUT, p).r;
#endif
    gl_FragColor = vec4(p, 0.0, 0.0, 1.0);
}
