#include "export/CommandLineRenderer.h"

#include "render/pipeline/OffscreenRenderer.h"
#include "storage/SavedClip.h"

#include <QDebug>
#include <QIODevice>

namespace kvx {

ExportRange exportRange(qint64 frameCount, qint64 lowerTrim, qint64 upperTrim)
{
    // The loop below renders one call ahead of what it writes, so an end past the clip would
    // wrap around to frame 0; the whole clip ends at its last frame.
    ExportRange range{0, frameCount - 1};
    if (lowerTrim <= upperTrim) {
        if (lowerTrim >= 0 && lowerTrim < frameCount)
            range.first = lowerTrim;
        if (upperTrim >= 0 && upperTrim < frameCount)
            range.last = upperTrim;
    }
    return range;
}

int exportSpan(qint64 frame, qint64 frameCount)
{
    return (frame >= 3 && frame <= frameCount - 4) ? 7 : 1;
}

namespace {

void loadCalibration(SavedClip& clip, BaseLegacyPipe& pipe)
{
    qDebug() << "Loading calibration...";
    QByteArray calibration;
    int width = 0;
    int height = 0;
    if (!clip.loadCalibration(&calibration, &width, &height)) {
        qDebug() << "Failed to open calibration";
        return;
    }
    if (pipe.uploadPolynomial(calibration, width, height))
        clip.renderState().setCalibrationMode(CalibrationMode::FullPolynomial);
    else
        qDebug() << "Failed to load calibration to pipe";
}

} // namespace

bool runCommandLineExport(const CommandLineExportJob& job)
{
    SavedClip& clip = *job.clip;
    OffscreenRenderer renderer;
    QSize outputSize(job.outputWidth, job.outputHeight);
    if (outputSize.width() == 0 || outputSize.height() == 0)
        outputSize = QSize(clip.width, clip.height);

    const FrameBlock frames = FrameBlock::describeMapped(clip.frameData(0), clip.dataSize(), qint64(clip.totalFrames),
                                                         clip.lineBytes, clip.lineCount, clip.bytesPerFrame());
    if (frames.isEmpty()) {
        qDebug() << "Clip has no frames to export";
        return false;
    }
    const ExportRange range = exportRange(frames.frameCount, job.lowerTrim, job.upperTrim);

    if (!renderer.open(outputSize))
        return false;
    // Frames the pipeline cannot hold would come out as empty pictures.
    if (!renderer.pipe().resize(frames.width, frames.height)) {
        qDebug() << "Clip frame size not supported by the OpenGL pipeline";
        return false;
    }
    // Nothing here inspects the passes: the colour pass may draw straight into the picture.
    renderer.pipe().setKeepColouredPass(false);
    loadCalibration(clip, renderer.pipe());
    renderer.pipe().applyRenderState(clip.renderState());

    renderer.beginFrames();
    QByteArray picture(renderer.frameBytes(), Qt::Uninitialized);
    // One call more than frames written: each read shows the frame staged by the call before,
    // and the last frame is rendered twice to flush it.
    for (qint64 i = range.first; i <= range.last + 1; ++i) {
        const qint64 f = i == range.last + 1 ? i - 1 : i;
        renderer.renderFrame(frames, f, exportSpan(f, frames.frameCount));
        if (i == range.first)
            continue;
        renderer.readFrame(reinterpret_cast<uchar*>(picture.data()));
        if (job.output->write(picture) != picture.size()) {
            qDebug() << "Output write error";
            return false;
        }
    }
    job.output->close();
    return true;
}

} // namespace kvx
