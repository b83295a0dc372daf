#pragma once

#include "render/pipeline/PipeParams.h"

#include <QtGlobal>

#include <array>
#include <vector>

// A plain CPU model of the processing pipeline's per-pixel computations, written for the
// tests to check the GPU result pass by pass. Slow and straightforward on purpose.
namespace refpipe {

// A float image in frame-buffer order: row 0 is the bottom row of the picture.
struct Image {
    int width = 0;
    int height = 0;
    int channels = 1;
    std::vector<float> values;

    Image() = default;
    Image(int w, int h, int c) : width(w), height(h), channels(c), values(size_t(w) * h * c) {}

    // Reads beyond the border repeat the border, as the GPU's clamp-to-edge sampling does.
    float at(int x, int y, int c = 0) const
    {
        x = qBound(0, x, width - 1);
        y = qBound(0, y, height - 1);
        return values[(size_t(y) * width + x) * channels + c];
    }
    float& ref(int x, int y, int c = 0) { return values[(size_t(y) * width + x) * channels + c]; }
};

// Per-pixel calibration images of the frame size, in memory order (row 0 = first memory row).
struct Calibration {
    std::vector<float> dark;                // empty: zero
    std::vector<float> psc;                 // empty: one
    std::array<std::vector<float>, 4> poly; // empty: zero
};

// The pre-processing pass for the frames the GPU's frame array holds (one frame: no
// temporal filter; seven: the window with its centre in layer 3). Frames are raw 8-bit
// mosaics in memory order.
Image preprocess(const std::vector<const uchar*>& layers, int width, int height, const kvx::PrelimParams& params,
                 const Calibration& calibration);

Image demosaic(const Image& preprocessed, const kvx::DebayerParams& params);

Image colour(const Image& demosaiced, const kvx::ColourParams& params);

// The final image as read back from a target of the frame size (8-bit RGB, first row read
// first). Supports rotations of 0 and 180 degrees.
std::vector<uchar> readBack(const Image& coloured, const kvx::OutputParams& params, bool readBackFlag);

} // namespace refpipe
