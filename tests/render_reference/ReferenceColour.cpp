#include "ReferencePipeline.h"

#include <algorithm>
#include <cmath>

namespace refpipe {

namespace {

constexpr float kR = 0.2126f;
constexpr float kG = 0.7152f;
constexpr float kB = 0.0722f;
constexpr float kChroma = 0.5f / (1.0f - 0.0722f);

struct Ycc {
    float y, cb, cr;
};

Ycc toYcc(float r, float g, float b)
{
    const float y = kR * r + kG * g + kB * b;
    return {y, kChroma * (b - y), kChroma * (r - y)};
}

std::array<float, 3> toRgb(const Ycc& c)
{
    const float r = c.y + c.cr / kChroma;
    const float b = c.y + c.cb / kChroma;
    return {r, (c.y - kR * r - kB * b) / kG, b};
}

struct ColourModel {
    const Image& in;
    const kvx::ColourParams& p;

    Ycc ycc(int x, int y) const { return toYcc(in.at(x, y, 0), in.at(x, y, 1), in.at(x, y, 2)); }

    float sharpening(float centre, float n1, float n2, float n3, float n4) const
    {
        const float delta = 4 * centre - (n1 + n2 + n3 + n4);
        return delta > p.sharpenThresh / 255.0f ? delta * p.sharpen / 255.0f : 0.0f;
    }

    static float weightedMean(const std::vector<float>& values, float centre, float thresh)
    {
        float sum = 0, weights = 0;
        for (float v : values) {
            const float w = std::exp(-((centre - v) * (centre - v)) / thresh);
            sum += w * v;
            weights += w;
        }
        return sum / weights;
    }

    std::array<float, 3> filtered(int x, int y) const
    {
        const bool inside = x >= 3 && y >= 3 && x < in.width - 3 && y < in.height - 3;
        const Ycc c = ycc(x, y);
        auto crossLuma = [&] {
            return sharpening(c.y, ycc(x, y - 1).y, ycc(x, y + 1).y, ycc(x - 1, y).y, ycc(x + 1, y).y);
        };
        if (p.dnrEnabled == 1 && inside) {
            std::vector<float> ys, cbs, crs;
            for (int dy = -2; dy <= 2; ++dy) {
                for (int dx = -2; dx <= 2; ++dx) {
                    const Ycc n = ycc(x + dx, y + dy);
                    ys.push_back(n.y);
                    cbs.push_back(n.cb);
                    crs.push_back(n.cr);
                }
            }
            Ycc result = c;
            if (p.dnrYThresh > 0)
                result.y = weightedMean(ys, c.y, p.dnrYThresh);
            if (p.dnrThresh > 0) {
                result.cb = weightedMean(cbs, c.cb, p.dnrThresh);
                result.cr = weightedMean(crs, c.cr, p.dnrThresh);
            }
            if (p.sharpen > 0)
                result.y += crossLuma();
            return toRgb(result);
        }
        if (p.sharpen > 0) {
            Ycc result = c;
            result.y += crossLuma();
            return toRgb(result);
        }
        return {in.at(x, y, 0), in.at(x, y, 1), in.at(x, y, 2)};
    }

    static float gamma(float v, float g)
    {
        const float base = 0.078125f;
        if (v > base || g <= 1.0f)
            return std::pow(v, 1.0f / g);
        return v * (std::pow(base, 1.0f / g) / base);
    }

    std::array<float, 3> pixel(int x, int y) const
    {
        const auto v = filtered(x, y);
        std::array<float, 3> c;
        for (int k = 0; k < 3; ++k) {
            const auto& row = p.matrix[k];
            c[k] = std::clamp(row[0] * v[0] + row[1] * v[1] + row[2] * v[2] + p.offsets[k], 0.0f, 1.0f);
            c[k] = gamma(c[k] * p.gains[k], p.gamma[k]);
        }
        if (p.colorBoost != 1.0f) {
            const float P = std::sqrt(0.299f * c[0] * c[0] + 0.587f * c[1] * c[1] + 0.114f * c[2] * c[2]);
            for (float& ch : c)
                ch = P + (ch - P) * p.colorBoost;
        }
        if (p.brightness != 0.0f)
            for (float& ch : c)
                ch += p.brightness;
        return c;
    }
};

} // namespace

Image colour(const Image& demosaiced, const kvx::ColourParams& params)
{
    const ColourModel model{demosaiced, params};
    Image out(demosaiced.width, demosaiced.height, 3);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const auto c = model.pixel(x, y);
            for (int k = 0; k < 3; ++k)
                out.ref(x, y, k) = c[k];
        }
    }
    return out;
}

std::vector<uchar> readBack(const Image& coloured, const kvx::OutputParams& params, bool readBackFlag)
{
    const int w = coloured.width;
    const int h = coloured.height;
    const bool rotated = ((params.rotation % 360) + 360) % 360 == 180;
    const bool mirrorX = params.flipHorizontal != rotated;
    const bool mirrorY = (params.flipVertical != readBackFlag) != rotated;
    std::vector<uchar> out(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int sx = mirrorX ? w - 1 - x : x;
            const int sy = mirrorY ? h - 1 - y : y;
            for (int k = 0; k < 3; ++k) {
                const float v = std::clamp(coloured.at(sx, sy, k), 0.0f, 1.0f);
                out[(size_t(y) * w + x) * 3 + k] = uchar(std::lround(v * 255.0f));
            }
        }
    }
    return out;
}

} // namespace refpipe
