#include "ReferencePipeline.h"

#include <algorithm>
#include <cmath>

namespace refpipe {

namespace {

struct PrelimModel {
    const std::vector<const uchar*>& layers;
    int width;
    int height;
    const kvx::PrelimParams& p;
    const Calibration& cal;

    size_t index(int c, int r) const { return size_t(r) * width + c; }

    float raw(size_t layer, int c, int r) const { return float(layers[layer][index(c, r)]) / 255.0f; }

    float temporal(int c, int r) const
    {
        if (layers.size() < 2)
            return raw(0, c, r);
        float centre = raw(3, c, r);
        if (p.ghostRemoval > 0.0f)
            centre = (1.0f - p.ghostRemoval) * centre + p.ghostRemoval * raw(2, c, r);
        float t = p.tnkThresh / 10.0f;
        if (centre < 0.5f)
            t *= 2.0f * centre;
        if (t * t <= 0.0f)
            return centre;
        float sum = centre;
        float weights = 1.0f;
        for (size_t i = 0; i < 7; ++i) {
            if (i == 3)
                continue;
            const float v = raw(i, c, r);
            const float d = 255.0f * (centre - v);
            const float w = std::exp(-(d * d) / (t * t));
            sum += w * v;
            weights += w;
        }
        return sum / weights;
    }

    float degamma(float v) const
    {
        if (p.degamma != 1)
            return v;
        if (255.0f * v < 46.0f)
            return 255.0f * v / 1023.0f;
        return std::min(std::pow(v, 1.8f), 1.0f);
    }

    static float planeAt(const std::vector<float>& plane, size_t i, float absent)
    {
        return plane.empty() ? absent : plane[i];
    }

    float calibrate(float v, int c, int r) const
    {
        const size_t i = index(c, r);
        if (p.calibMode == 2) {
            const float c0 = planeAt(cal.poly[0], i, 0.0f);
            const float c1 = planeAt(cal.poly[1], i, 0.0f);
            const float c2 = planeAt(cal.poly[2], i, 0.0f);
            const float c3 = planeAt(cal.poly[3], i, 0.0f);
            const float D = c2 * c2 - 3.0f * c3 * c1;
            const float T = 3.0f * c3 * v + c2;
            const float L = 3.0f * c3 * 0.5f + c2;
            if (D > 0.0f) {
                const bool a = c3 > 0 && (L < 0 || D > c2 * c2) && T > 0 && D < T * T;
                const bool b = c3 < 0 && L > 0 && D < L * L && (T < 0 || D > T * T);
                const bool cc = c3 > 0 && L < 0 && D < L * L && (T > 0 || D > T * T);
                const bool d = c3 < 0 && (L > 0 || D > L * L) && T < 0 && D < T * T;
                if (a || b || cc || d)
                    return 1.0f;
            }
            return std::clamp(c0 + c1 * v + c2 * v * v + c3 * v * v * v, 0.0f, 1.0f);
        }
        if (p.darkSub != 0) {
            float dark = planeAt(cal.dark, i, 0.0f);
            if (p.degamma != 1)
                dark *= 4.0f;
            v = v > dark ? std::min((v - dark) * p.darkScale, 1.0f) : 0.0f;
            if (p.pscScale != 0)
                v *= planeAt(cal.psc, i, 1.0f);
        }
        return std::clamp(v, 0.0f, 1.0f);
    }

    // Steps up to calibration for the site (c, r), border sites repeated outwards.
    float site(int c, int r) const
    {
        c = std::clamp(c, 0, width - 1);
        r = std::clamp(r, 0, height - 1);
        return calibrate(degamma(temporal(c, r)), c, r);
    }

    float pixel(int c, int r) const
    {
        // Memory row 0 reads green, blue, green...: green where column and row parity agree.
        const bool green = (c % 2) == (r % 2);
        const float centre = site(c, r);
        const float diag[4] = {site(c - 1, r - 1), site(c + 1, r - 1), site(c - 1, r + 1), site(c + 1, r + 1)};
        float result = centre;
        if (green && p.greenBalance > 0.0f) {
            float sum = centre;
            float weights = 1.0f;
            for (float n : diag) {
                const float q = (n - centre) / p.greenBalance;
                const float w = std::exp(-q * q);
                sum += w * n;
                weights += w;
            }
            result = sum / weights;
        }
        if (p.hotPixDis == 0) {
            std::vector<float> ring;
            for (int dy : {-2, 0, 2})
                for (int dx : {-2, 0, 2})
                    if (dx != 0 || dy != 0)
                        ring.push_back(site(c + dx, r + dy));
            if (green)
                ring.insert(ring.end(), std::begin(diag), std::end(diag));
            const auto [lo, hi] = std::minmax_element(ring.begin(), ring.end());
            result = std::clamp(result, *lo, *hi);
        }
        return result;
    }
};

} // namespace

Image preprocess(const std::vector<const uchar*>& layers, int width, int height, const kvx::PrelimParams& params,
                 const Calibration& calibration)
{
    const PrelimModel model{layers, width, height, params, calibration};
    Image out(width, height, 1);
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c)
            out.ref(c, height - 1 - r) = model.pixel(c, r);
    return out;
}

} // namespace refpipe
