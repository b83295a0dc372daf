#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <functional>

// Raw test frames: a colour scene sampled through the recorder's Bayer pattern (first row
// green, blue, ...; second row red, green, ...), stored frame after frame.
namespace testdata {

struct Rgb8 {
    int r, g, b;
};

using Scene = std::function<Rgb8(int column, int row, int frame)>;

// The code a sensor site records for the scene.
inline uchar mosaicSample(const Rgb8& c, int column, int row)
{
    if ((column % 2) == (row % 2))
        return uchar(qBound(0, c.g, 255));
    return uchar(qBound(0, row % 2 == 0 ? c.b : c.r, 255));
}

inline QByteArray mosaicFrames(int width, int height, int frames, const Scene& scene, qint64 bytesPerFrame = 0)
{
    if (bytesPerFrame == 0)
        bytesPerFrame = qint64(width) * height;
    QByteArray data(bytesPerFrame * frames, char(0x5a));
    for (int f = 0; f < frames; ++f)
        for (int r = 0; r < height; ++r)
            for (int c = 0; c < width; ++c)
                data[f * bytesPerFrame + qint64(r) * width + c] = char(mosaicSample(scene(c, r, f), c, r));
    return data;
}

// Smooth colour ramps, a sharp diagonal edge, deterministic noise, a hot pixel and (from row
// 24 on) a grey band holding every code from 0 to 251: enough structure that every
// demosaicing branch, both edge decisions and both sides of the degamma knee are exercised.
inline Rgb8 busyScene(int c, int r, int frame)
{
    if (r >= 24) {
        const int v = c * 6 + (r - 24);
        return {v, v, v};
    }
    const unsigned hash = unsigned(c * 73856093) ^ unsigned(r * 19349663) ^ unsigned(frame * 83492791);
    const int noise = int(hash % 9u) - 4;
    Rgb8 colour{40 + 4 * c + noise, 60 + 3 * r + noise, 180 - 2 * c - r + noise};
    if (c + 2 * r > 40)
        colour = {colour.r / 3 + 150, colour.g / 2, colour.b / 3 + 20};
    if (c == 9 && r == 7)
        colour = {255, 255, 255};
    return colour;
}

} // namespace testdata
