#include "render/pipeline/ThumbnailRenderer.h"

#include "render/pipeline/OffscreenRenderer.h"
#include "render/state/RenderState.h"

#include <QImage>

#include <cstring>

namespace kvx {

bool renderThumbnailImage(const FrameBlock& frames, const QByteArray& calibration, RenderState& state,
                          const QString& path)
{
    if (frames.isEmpty())
        return false;
    const QSize size(frames.width, frames.height);
    OffscreenRenderer renderer;
    if (!renderer.open(size))
        return false;

    BaseLegacyPipe& pipe = renderer.pipe();
    if (!pipe.resize(size.width(), size.height()) || !pipe.uploadPolynomial(calibration, size.width(), size.height()))
        return false;
    state.setCalibrationMode(CalibrationMode::FullPolynomial);
    pipe.applyRenderState(state);

    renderer.beginFrames();
    // The second call uploads the window the first one staged: frame 0.
    renderer.renderFrame(frames, 0, 1);
    renderer.renderFrame(frames, 1, 1);
    QImage image(size, QImage::Format_RGB888);
    const QByteArray rgb = renderer.readFrame();
    const qsizetype rowBytes = qsizetype(size.width()) * 3;
    for (int row = 0; row < size.height(); ++row)
        std::memcpy(image.scanLine(row), rgb.constData() + row * rowBytes, size_t(rowBytes));
    return image.scaledToHeight(kThumbnailHeight, Qt::SmoothTransformation).save(path);
}

} // namespace kvx
