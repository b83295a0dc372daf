#pragma once

#include <QtGlobal>

namespace kvx {

// A run of raw 8-bit Bayer frames in memory, as handed to the pipeline: frame i starts at
// data + i * bytesPerFrame and holds width x height bytes, rows from the top of the picture.
struct FrameBlock {
    const uchar* data = nullptr;
    qint64 frameCount = 0;
    int width = 0;
    int height = 0;
    qint64 bytesPerFrame = 0;
    // Frames follow each other without gaps, so a run of them can be copied in one piece.
    bool contiguous = false;

    static FrameBlock describe(const uchar* data, qint64 frameCount, int width, int height, qint64 bytesPerFrame)
    {
        FrameBlock block;
        block.data = data;
        block.frameCount = frameCount;
        block.width = width;
        block.height = height;
        block.bytesPerFrame = bytesPerFrame;
        block.contiguous = bytesPerFrame == qint64(width) * height;
        return block;
    }

    // The frames of a memory-mapped frame file: at most frameCount, and only those whose
    // width x height bytes lie wholly inside the mapping, so a short file or a frame slot
    // smaller than a picture never leads to a read past its end.
    static FrameBlock describeMapped(const uchar* data, qint64 mappedBytes, qint64 frameCount, int width, int height,
                                     qint64 bytesPerFrame)
    {
        const qint64 pixels = qint64(width) * height;
        qint64 available = 0;
        if (data && pixels > 0 && bytesPerFrame > 0 && mappedBytes >= pixels)
            available = (mappedBytes - pixels) / bytesPerFrame + 1;
        return describe(available > 0 ? data : nullptr, qMin(frameCount, available), width, height, bytesPerFrame);
    }

    qint64 pixelsPerFrame() const { return qint64(width) * height; }
    const uchar* frame(qint64 index) const { return data + index * bytesPerFrame; }
    bool isEmpty() const { return !data || frameCount <= 0 || width <= 0 || height <= 0; }
};

} // namespace kvx
