#include "render/pipeline/PipeParams.h"

#include "render/state/RenderState.h"

#include <algorithm>

namespace kvx {

namespace {

void fillPrelim(const RenderState& state, bool linearizationTableLoaded, int currentCalibMode, PrelimParams& pre)
{
    pre.linearizationType = state.boolValue(QStringLiteral("LinearizationState")) && linearizationTableLoaded ? 1 : 0;
    const int mode = int(state.calibrationMode());
    pre.calibMode = (mode >= 0 && mode <= 2) ? mode : currentCalibMode;
    pre.ghostRemoval = state.floatValue(QStringLiteral("GhostRemoval"));
    pre.darkSub = state.intValue(QStringLiteral("DarkSubState")) != 0 ? 1 : 0;
    pre.darkScale = 1.0f;
    pre.pscScale = state.intValue(QStringLiteral("PSCScaleState")) != 0 ? 1 : 0;
    pre.hotPixDis = state.boolValue(QStringLiteral("HotPixElimState")) ? 0 : 1;
    pre.tnkThresh = 2.0f * state.floatValue(QStringLiteral("TNKThresh"));
    pre.degamma = state.intValue(QStringLiteral("DegammaState"));
    pre.greenBalance = state.floatValue(QStringLiteral("greenBalanceValue")) / 100.0f;
}

void fillDebayer(const RenderState& state, DebayerParams& deb)
{
    using render::Demosaicing;
    const Demosaicing mode = state.demosaicing();
    deb.malvarHeCutler = mode == Demosaicing::MalvarHeCutler ? 1 : 0;
    deb.hirakawa = (mode == Demosaicing::GradientDirected || mode == Demosaicing::EdgeDirectionDisplay) ? 1
        : mode == Demosaicing::Monochrome                                                               ? 2
                                                                                                        : 0;
    deb.edgeDetect = mode == Demosaicing::EdgeDirectionDisplay ? 1 : 0;
    deb.gradInterpolate = 0;
    deb.demosaicDis = mode == Demosaicing::Off ? 1 : 0;
    deb.edgeThresh = state.floatValue(QStringLiteral("EdgeThresh"));
}

void fillColour(const RenderState& state, ColourParams& col)
{
    const double uvThresh = state.doubleValue(QStringLiteral("DNRUVThresh"));
    const double yThresh = state.doubleValue(QStringLiteral("DNRYThresh"));
    col.dnrEnabled = (uvThresh != 0.0 || yThresh != 0.0) ? 1 : 0;
    col.dnrThresh = float(uvThresh / 1000.0);
    col.dnrYThresh = float(yThresh / 10000.0);
    col.sharpen =
        state.intValue(QStringLiteral("SharpState")) != 0 ? state.floatValue(QStringLiteral("SharpGain")) : 0.0f;
    col.sharpenThresh = state.floatValue(QStringLiteral("SharpThresh"));

    col.matrix = ColourParams{}.matrix;
    col.offsets = {0.0f, 0.0f, 0.0f};
    if (state.intValue(QStringLiteral("ColorCorrectionState")) != 0) {
        const auto matrix = state.matrix3x3Value(QStringLiteral("ColorCorrectionMatrix"));
        const auto offsets = state.matrix3x1Value(QStringLiteral("ColorOffsets"));
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column)
                col.matrix[row][column] = float(matrix(row, column));
            col.offsets[row] = float(offsets(row, 0));
        }
    }
    col.gains = {1.0f, 1.0f, 1.0f};
    const float gamma = std::max(state.floatValue(QStringLiteral("Gamma")), kMinimumGamma);
    col.gamma = {gamma, gamma, gamma};
    col.colorBoost = state.floatValue(QStringLiteral("Saturation"));
    col.brightness = state.floatValue(QStringLiteral("Brightness"));
}

} // namespace

PipeParams pipeParamsFromState(const RenderState& state, bool linearizationTableLoaded, int currentCalibMode)
{
    PipeParams params;
    fillPrelim(state, linearizationTableLoaded, currentCalibMode, params.prelim);
    fillDebayer(state, params.debayer);
    fillColour(state, params.colour);
    params.output.rotation = state.intValue(QStringLiteral("Rotation"));
    params.output.flipHorizontal = state.intValue(QStringLiteral("FlipHorizontal")) != 0;
    params.output.flipVertical = state.intValue(QStringLiteral("FlipVertical")) != 0;
    params.output.smoothing = state.intValue(QStringLiteral("FinalTextureSmoothingState")) != 0;
    return params;
}

QByteArrayList filterVariant(const PrelimParams& params, bool temporal)
{
    QByteArrayList names;
    if (temporal)
        names << "TEMPORAL";
    if (params.calibMode == 2)
        names << "CALIBRATION_POLYNOMIAL";
    else if (params.darkSub != 0)
        names << "CALIBRATION_DARK";
    if (params.linearizationType > 0)
        names << "LINEARIZE";
    return names;
}

QByteArrayList prelimVariant(const PrelimParams& params)
{
    QByteArrayList names;
    if (params.greenBalance > 0.0f)
        names << "GREEN_BALANCE";
    if (params.hotPixDis == 0)
        names << "HOT_PIXELS";
    return names;
}

QByteArrayList debayerVariant(const DebayerParams& params)
{
    if (params.demosaicDis == 1)
        return {"DEMOSAIC_RAW"};
    if (params.hirakawa == 2)
        return {"DEMOSAIC_MONO"};
    if (params.malvarHeCutler == 1)
        return {"DEMOSAIC_MALVAR"};
    if (params.hirakawa == 1)
        return {"DEMOSAIC_GRADIENT"};
    return {"DEMOSAIC_MEDIAN"};
}

QByteArrayList colourVariant(const ColourParams& params)
{
    QByteArrayList names;
    if (params.dnrEnabled == 1) {
        names << "DNR";
        if (params.dnrYThresh > 0.0f)
            names << "DNR_LUMA";
        if (params.dnrThresh > 0.0f)
            names << "DNR_CHROMA";
    }
    if (params.sharpen > 0.0f)
        names << "SHARPEN";
    return names;
}

} // namespace kvx
