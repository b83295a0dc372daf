#include "sim/ClipContent.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>
#include <vector>

namespace {

// Every row carries a stamp of (frame, row, clip) at these column steps, so no two rows and no
// two spans of a transfer packet's size hold the same bytes.
constexpr quint64 StampStep = 4096;
constexpr quint64 StampSize = 8;
// Horizontal pan of the scene per frame, in pixels; even, so the Bayer phase is kept.
constexpr quint64 PanPerFrame = 8;

struct Rgb {
    int r, g, b;
};

// The clip's picture: colour bars over a grey ramp with a bright disc, already as a Bayer mosaic.
// Each row is stored twice over (2 * width bytes) so that a panned row is one memcpy.
class Scene {
public:
    Scene(int width, int height, int clipNumber) : width_(width), height_(height)
    {
        rows_.resize(size_t(height) * 2 * size_t(width));
        filler_.assign(size_t(width), quint8(0x10 + (clipNumber & 0x0F)));
        std::vector<Rgb> line(static_cast<size_t>(width));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                line[size_t(x)] = colourAt(x, y, clipNumber);
            quint8* row = rows_.data() + size_t(y) * 2 * size_t(width);
            for (int x = 0; x < 2 * width; ++x) {
                const Rgb& c = line[size_t(x % width)];
                // Row 0: G B G B ..., row 1: R G R G ...
                const bool evenRow = (y & 1) == 0, evenCol = (x & 1) == 0;
                const int v = evenRow ? (evenCol ? c.g : c.b) : (evenCol ? c.r : c.g);
                row[x] = quint8(std::clamp(v, 0, 255));
            }
        }
    }

    int width() const { return width_; }
    int height() const { return height_; }
    const quint8* row(int y) const { return rows_.data() + size_t(y) * 2 * size_t(width_); }
    const quint8* filler() const { return filler_.data(); }

private:
    Rgb colourAt(int x, int y, int clipNumber) const
    {
        static const Rgb bars[8] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                                    {191, 0, 191},   {191, 0, 0},   {0, 0, 191},   {16, 16, 16}};
        // A disc that rides along with the pan, its hue set by the clip number.
        const double cx = width_ * 0.3, cy = height_ * 0.78, radius = height_ * 0.12;
        const double dx = x - cx, dy = y - cy;
        if (dx * dx + dy * dy < radius * radius) {
            static const Rgb discs[4] = {{250, 250, 250}, {250, 140, 20}, {60, 200, 250}, {240, 60, 160}};
            return discs[clipNumber & 3];
        }
        if (y < height_ * 6 / 10)
            return bars[std::min(7, x * 8 / std::max(1, width_))];
        const int level = 16 + x * 224 / std::max(1, width_);
        return {level, level, level};
    }

    int width_, height_;
    std::vector<quint8> rows_;
    std::vector<quint8> filler_;
};

// Scenes are shared between calls and threads; a few recent ones are kept.
std::shared_ptr<const Scene> sceneFor(int width, int height, int clipNumber)
{
    using Key = std::tuple<int, int, int>;
    static std::mutex mutex;
    static std::map<Key, std::pair<quint64, std::shared_ptr<const Scene>>> cache;
    static quint64 useCounter = 0;
    constexpr size_t MaxScenes = 6;

    const Key key{width, height, clipNumber & 0x0F};
    std::lock_guard lock(mutex);
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() >= MaxScenes) {
            auto oldest = std::min_element(cache.begin(), cache.end(), [](const auto& a, const auto& b) {
                return a.second.first < b.second.first;
            });
            cache.erase(oldest);
        }
        it = cache.emplace(key, std::make_pair(0, std::make_shared<Scene>(width, height, clipNumber))).first;
    }
    it->second.first = ++useCounter;
    return it->second.second;
}

// Length of a stored row: the image width, so that the first width * height bytes of a frame are
// the picture the processing pipeline reads.
quint64 rowLength(const SimClip& clip)
{
    if (clip.info.width)
        return clip.info.width;
    if (clip.info.lineBytes)
        return clip.info.lineBytes;
    return StampStep;
}

// Stamps sit at columns k * StampStep of a row that ends at rowEnd; out holds columns [from, to).
void stampRow(const SimClip& clip, quint64 frame, quint64 row, quint64 rowEnd, quint64 from, quint64 to, uchar* out)
{
    for (quint64 k = from / StampStep; k * StampStep < std::min(to, rowEnd); ++k) {
        uchar stamp[StampSize];
        qToLittleEndian<quint32>(quint32(frame), stamp);
        qToLittleEndian<quint16>(quint16(row), stamp + 4);
        stamp[6] = uchar(clip.info.clipNumber);
        stamp[7] = uchar(k ^ (frame >> 32));
        const quint64 at = k * StampStep;
        const quint64 a = std::max(at, from);
        const quint64 b = std::min({at + StampSize, rowEnd, to});
        if (a < b)
            std::memcpy(out + (a - from), stamp + (a - at), size_t(b - a));
    }
}

quint64 splitMix(quint64 x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

} // namespace

quint64 frameSize(const SimClip& clip)
{
    if (clip.info.flags & kvx::ClipInfoPacket::clipInfo::ExplicitFrameBytesFlag)
        return clip.info.frameBytes;
    return quint64(clip.info.lineBytes) * clip.info.lineCount;
}

quint64 clipBytes(const SimClip& clip)
{
    return clip.info.totalFrames * frameSize(clip);
}

quint64 calibrationBytes(const SimClip& clip)
{
    return quint64(clip.info.width) * clip.info.height * 8;
}

void fillFrames(const SimClip& clip, quint64 firstFrame, quint64 frameCount, uchar* out)
{
    const quint64 size = frameSize(clip);
    fillClipBytes(clip, firstFrame * size, qsizetype(frameCount * size), out);
}

void fillClipBytes(const SimClip& clip, quint64 byteOffset, qsizetype n, uchar* out)
{
    const quint64 frameBytes = frameSize(clip);
    if (n <= 0)
        return;
    if (frameBytes == 0) {
        std::memset(out, 0, size_t(n));
        return;
    }
    const quint64 rowLen = rowLength(clip);
    const auto scene = clip.info.width && clip.info.height
        ? sceneFor(clip.info.width, clip.info.height, clip.info.clipNumber)
        : std::shared_ptr<const Scene>();
    std::vector<quint8> plainFiller;
    if (!scene)
        plainFiller.assign(size_t(rowLen), quint8(0x10));

    quint64 offset = byteOffset;
    quint64 left = quint64(n);
    while (left > 0) {
        const quint64 frame = offset / frameBytes;
        const quint64 inFrame = offset % frameBytes;
        const quint64 row = inFrame / rowLen;
        const quint64 col = inFrame % rowLen;
        const quint64 rowEnd = std::min(rowLen, frameBytes - row * rowLen);
        const quint64 take = std::min(left, rowEnd - col);

        const quint8* src;
        if (scene && row < quint64(scene->height())) {
            const quint64 pan = (frame * PanPerFrame) % quint64(scene->width()) & ~quint64(1);
            src = scene->row(int(row)) + pan;
        } else {
            src = scene ? scene->filler() : plainFiller.data();
        }
        std::memcpy(out, src + col, size_t(take));
        stampRow(clip, frame, row, rowEnd, col, col + take, out);

        out += take;
        offset += take;
        left -= take;
    }
}

PixelCoefficients calibrationAt(const SimClip& clip, quint64 pixel)
{
    const CalibrationModel& m = clip.calibration;
    const quint64 h = splitMix(pixel ^ (clip.info.clipUid * 0x2545F4914F6CDD1Dull));
    const int span = 2 * std::max<int>(0, m.jitter) + 1;
    const qint16 base[4] = {m.c0, m.c1, m.c2, m.c3};
    PixelCoefficients p;
    for (int k = 0; k < 4; ++k) {
        const int jitter = int((h >> (16 * k)) & 0xFFFF) % span - std::max<int>(0, m.jitter);
        p.c[k] = qint16(std::clamp(int(base[k]) + jitter, -32768, 32767));
    }
    return p;
}

void fillCalibration(const SimClip& clip, quint64 byteOffset, qsizetype n, uchar* out)
{
    if (n <= 0)
        return;
    const quint64 total = calibrationBytes(clip);
    quint64 offset = byteOffset;
    quint64 left = quint64(n);
    while (left > 0) {
        if (offset >= total) {
            std::memset(out, 0, size_t(left));
            return;
        }
        const quint64 pixel = offset / 8;
        const quint64 within = offset % 8;
        uchar bytes[8];
        const PixelCoefficients p = calibrationAt(clip, pixel);
        for (int k = 0; k < 4; ++k)
            qToLittleEndian<qint16>(p.c[k], bytes + 2 * k);
        const quint64 take = std::min({left, 8 - within, total - offset});
        std::memcpy(out, bytes + within, size_t(take));
        out += take;
        offset += take;
        left -= take;
    }
}
