#pragma once

#include <QByteArrayList>

#include <array>

class RenderState;

namespace kvx {

using Vec3f = std::array<float, 3>;

// Uniform values of the pre-processing pass.
struct PrelimParams {
    int linearizationType = 0;
    int calibMode = 0;
    float ghostRemoval = 0.0f;
    int darkSub = 0;
    float darkScale = 1.0f;
    int pscScale = 0;
    int hotPixDis = 1;
    float tnkThresh = 0.0f;
    int degamma = 0;
    float greenBalance = 0.0f;
};

// Uniform values of the demosaicing pass.
struct DebayerParams {
    int malvarHeCutler = 0;
    int hirakawa = 0;
    int edgeDetect = 0;
    int gradInterpolate = 0;
    int demosaicDis = 0;
    float edgeThresh = 0.0f;
};

// Uniform values of the noise-reduction and colour pass.
struct ColourParams {
    int dnrEnabled = 0;
    float dnrThresh = 0.0f;
    float dnrYThresh = 0.0f;
    float sharpen = 0.0f;
    float sharpenThresh = 0.0f;
    std::array<Vec3f, 3> matrix{Vec3f{1, 0, 0}, Vec3f{0, 1, 0}, Vec3f{0, 0, 1}};
    Vec3f offsets{0, 0, 0};
    Vec3f gains{1, 1, 1};
    Vec3f gamma{1, 1, 1};
    float colorBoost = 1.0f;
    float brightness = 0.0f;
};

// How the final image is laid into the caller's frame buffer.
struct OutputParams {
    int rotation = 0;
    bool flipHorizontal = false;
    bool flipVertical = false;
    bool smoothing = true;
};

struct PipeParams {
    PrelimParams prelim;
    DebayerParams debayer;
    ColourParams colour;
    OutputParams output;
};

// The smallest gamma the colour pass accepts: the curve raises to 1/gamma, and a gamma of 0
// (the bottom of its range) would turn every pixel into infinity.
constexpr float kMinimumGamma = 0.01f;

// Every value the pipeline reads from a render state. The calibration mode keeps
// currentCalibMode when the state holds a value other than 0, 1 or 2; linearisation applies
// only when a linearisation table has been loaded.
PipeParams pipeParamsFromState(const RenderState& state, bool linearizationTableLoaded, int currentCalibMode);

// The shader variant each pass needs for these values: the names its source is built with.
// The filter pass filters over time only when the frame array holds a window of frames.
QByteArrayList filterVariant(const PrelimParams& params, bool temporal);
QByteArrayList prelimVariant(const PrelimParams& params);
QByteArrayList debayerVariant(const DebayerParams& params);
QByteArrayList colourVariant(const ColourParams& params);

} // namespace kvx
