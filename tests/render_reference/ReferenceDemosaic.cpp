#include "ReferencePipeline.h"

#include <algorithm>
#include <cmath>

namespace refpipe {

namespace {

enum Site { Red, Green, Blue };
using Rgb = std::array<float, 3>;

struct DemosaicModel {
    const Image& in;
    const kvx::DebayerParams& p;

    // Frame-buffer coordinates: red where x and y are even, blue where both are odd.
    static int parity(int v) { return ((v % 2) + 2) % 2; }
    static Site site(int x, int y)
    {
        const int px = parity(x);
        const int py = parity(y);
        if (px != py)
            return Green;
        return px == 0 ? Red : Blue;
    }
    // A green site in a row that holds red sites has red neighbours left and right.
    static bool redRow(int y) { return parity(y) == 0; }

    // Reads beyond the frame mirror about its outer sites (-1 reads 1), keeping the pattern.
    static int mirrored(int v, int last) { return last - std::abs(last - std::abs(v)); }
    float P(int x, int y) const { return in.at(mirrored(x, in.width - 1), mirrored(y, in.height - 1)); }

    Rgb raw(int x, int y) const
    {
        Rgb c{0, 0, 0};
        c[site(x, y)] = P(x, y);
        return c;
    }

    // Published Malvar-He-Cutler kernels, weights in eighths, as (dx, dy, weight) lists.
    struct Tap {
        int dx, dy;
        float w;
    };
    float convolve(int x, int y, std::initializer_list<Tap> taps) const
    {
        float sum = 0;
        for (const Tap& t : taps)
            sum += t.w * P(x + t.dx, y + t.dy);
        return sum / 8.0f;
    }
    Rgb malvar(int x, int y) const
    {
        const float g = convolve(x, y,
                                 {{0, 0, 4},
                                  {-1, 0, 2},
                                  {1, 0, 2},
                                  {0, -1, 2},
                                  {0, 1, 2},
                                  {-2, 0, -1},
                                  {2, 0, -1},
                                  {0, -2, -1},
                                  {0, 2, -1}});
        const float opposite = convolve(x, y,
                                        {{0, 0, 6},
                                         {-1, -1, 2},
                                         {1, -1, 2},
                                         {-1, 1, 2},
                                         {1, 1, 2},
                                         {-2, 0, -1.5f},
                                         {2, 0, -1.5f},
                                         {0, -2, -1.5f},
                                         {0, 2, -1.5f}});
        const float rowColour = convolve(x, y,
                                         {{0, 0, 5},
                                          {-1, 0, 4},
                                          {1, 0, 4},
                                          {-2, 0, -1},
                                          {2, 0, -1},
                                          {-1, -1, -1},
                                          {1, -1, -1},
                                          {-1, 1, -1},
                                          {1, 1, -1},
                                          {0, -2, 0.5f},
                                          {0, 2, 0.5f}});
        const float colColour = convolve(x, y,
                                         {{0, 0, 5},
                                          {0, -1, 4},
                                          {0, 1, 4},
                                          {0, -2, -1},
                                          {0, 2, -1},
                                          {-1, -1, -1},
                                          {1, -1, -1},
                                          {-1, 1, -1},
                                          {1, 1, -1},
                                          {-2, 0, 0.5f},
                                          {2, 0, 0.5f}});
        const float C = P(x, y);
        switch (site(x, y)) {
        case Red:
            return {C, g, opposite};
        case Blue:
            return {opposite, g, C};
        default:
            return redRow(y) ? Rgb{rowColour, C, colColour} : Rgb{colColour, C, rowColour};
        }
    }

    // ---- gradient-directed ----
    float greenAlong(int x, int y, int dx, int dy) const
    {
        if (site(x, y) == Green)
            return P(x, y);
        return (P(x - dx, y - dy) + P(x + dx, y + dy)) / 2
            + (P(x, y) - (P(x - 2 * dx, y - 2 * dy) + P(x + 2 * dx, y + 2 * dy)) / 2) / 2;
    }
    float difference(int x, int y, int dx, int dy) const { return P(x, y) - greenAlong(x, y, dx, dy); }
    Rgb candidate(int x, int y, int dx, int dy) const
    {
        const float g = greenAlong(x, y, dx, dy);
        const Site s = site(x, y);
        if (s == Green) {
            const float rowDiff = (difference(x - 1, y, dx, dy) + difference(x + 1, y, dx, dy)) / 2;
            const float colDiff = (difference(x, y - 1, dx, dy) + difference(x, y + 1, dx, dy)) / 2;
            return redRow(y) ? Rgb{g + rowDiff, g, g + colDiff} : Rgb{g + colDiff, g, g + rowDiff};
        }
        const float opposite = g
            + (difference(x - 1, y - 1, dx, dy) + difference(x + 1, y - 1, dx, dy) + difference(x - 1, y + 1, dx, dy)
               + difference(x + 1, y + 1, dx, dy))
                / 4;
        return s == Red ? Rgb{P(x, y), g, opposite} : Rgb{opposite, g, P(x, y)};
    }
    float homogeneity(int x, int y, int dx, int dy) const
    {
        const Rgb c = candidate(x, y, dx, dy);
        float sum = 0;
        for (int k : {-2, -1, 1, 2}) {
            const Rgb q = candidate(x + k * dx, y + k * dy, dx, dy);
            sum += std::abs((c[0] - c[1]) - (q[0] - q[1])) + std::abs((c[2] - c[1]) - (q[2] - q[1]));
        }
        return sum;
    }
    Rgb gradientDirected(int x, int y) const
    {
        auto Q = [&](int dx, int dy) { return P(x + dx, y + dy); };
        const float C = Q(0, 0);
        const float h = (std::abs(Q(-1, 1) - Q(1, 1)) + std::abs(Q(-1, -1) - Q(1, -1)) + std::abs(Q(-1, 0) - Q(1, 0))
                         + std::abs(C - Q(-2, 0)) + std::abs(C - Q(2, 0)))
            / 5 * 255;
        const float v = (std::abs(Q(-1, 1) - Q(-1, -1)) + std::abs(Q(1, 1) - Q(1, -1)) + std::abs(Q(0, 1) - Q(0, -1))
                         + std::abs(C - Q(0, 2)) + std::abs(C - Q(0, -2)))
            / 5 * 255;
        const float ch = homogeneity(x, y, 1, 0);
        const float cv = homogeneity(x, y, 0, 1);
        const bool horizontal = (h < p.edgeThresh && v < p.edgeThresh) ? ch < cv : h < v;
        if (p.edgeDetect == 1)
            return horizontal ? Rgb{1, 0, 0} : Rgb{0, 0, 1};
        Rgb c = horizontal ? candidate(x, y, 1, 0) : candidate(x, y, 0, 1);
        for (float& v : c)
            v = std::clamp(v, 0.0f, 1.0f);
        return c;
    }

    // ---- edge-directed median ----
    float medianGreen(int x, int y) const
    {
        if (site(x, y) == Green)
            return P(x, y);
        std::array<float, 4> n{P(x - 1, y), P(x + 1, y), P(x, y - 1), P(x, y + 1)};
        std::sort(n.begin(), n.end());
        return (n[1] + n[2]) / 2;
    }
    Rgb edgeDirectedMedian(int x, int y) const
    {
        float dh = 0, dv = 0, largest = 0;
        for (int i = -1; i <= 1; ++i) {
            for (int j = -1; j <= 0; ++j) {
                const float along = std::abs(medianGreen(x + j, y + i) - medianGreen(x + j + 1, y + i));
                const float across = std::abs(medianGreen(x + i, y + j) - medianGreen(x + i, y + j + 1));
                dh += along;
                dv += across;
                largest = std::max({largest, along, across});
            }
        }
        const float C = P(x, y);
        const Site s = site(x, y);
        const float row = (P(x - 1, y) + P(x + 1, y)) / 2;
        const float col = (P(x, y - 1) + P(x, y + 1)) / 2;
        if (255 * largest <= p.edgeThresh) {
            const float cross = (P(x - 1, y) + P(x + 1, y) + P(x, y - 1) + P(x, y + 1)) / 4;
            const float diag = (P(x - 1, y - 1) + P(x + 1, y - 1) + P(x - 1, y + 1) + P(x + 1, y + 1)) / 4;
            if (s == Red)
                return {C, cross, diag};
            if (s == Blue)
                return {diag, cross, C};
            return redRow(y) ? Rgb{row, C, col} : Rgb{col, C, row};
        }
        auto diff = [&](int dx, int dy) { return P(x + dx, y + dy) - medianGreen(x + dx, y + dy); };
        if (s == Green) {
            const float rowDiff = (diff(-1, 0) + diff(1, 0)) / 2;
            const float colDiff = (diff(0, -1) + diff(0, 1)) / 2;
            return redRow(y) ? Rgb{C + rowDiff, C, C + colDiff} : Rgb{C + colDiff, C, C + rowDiff};
        }
        const float g = dh < dv ? row : col;
        const float opposite = g + (diff(-1, -1) + diff(1, -1) + diff(-1, 1) + diff(1, 1)) / 4;
        return s == Red ? Rgb{C, g, opposite} : Rgb{opposite, g, C};
    }

    Rgb pixel(int x, int y) const
    {
        if (p.demosaicDis == 1)
            return raw(x, y);
        if (p.hirakawa == 2)
            return {P(x, y), P(x, y), P(x, y)};
        if (p.malvarHeCutler == 1)
            return malvar(x, y);
        if (p.hirakawa == 1)
            return gradientDirected(x, y);
        return edgeDirectedMedian(x, y);
    }
};

} // namespace

Image demosaic(const Image& preprocessed, const kvx::DebayerParams& params)
{
    const DemosaicModel model{preprocessed, params};
    Image out(preprocessed.width, preprocessed.height, 3);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const Rgb c = model.pixel(x, y);
            for (int k = 0; k < 3; ++k)
                out.ref(x, y, k) = c[k];
        }
    }
    return out;
}

} // namespace refpipe
