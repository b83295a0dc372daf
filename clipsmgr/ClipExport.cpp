#include "clipsmgr/ClipExport.h"

#include "clipsmgr/VLMClipsApp.h"
#include "export/CommandLineRenderer.h"
#include "export/FfmpegTool.h"
#include "export/ImgExportDlg.h"
#include "export/RecorderEncoderDialog.h"
#include "storage/SavedClip.h"

#include <QCoreApplication>

void exportClip(const QSharedPointer<SavedClip>& clip, QWidget* parent)
{
    VLMClipsApp* app = VLMClipsApp::instance();
    if (!clip || !app)
        return;
    ImgExportDlg dialog(QSize(clip->width, clip->height), app->ClipFileType, app->ClipOutputFps, app->ClipCodecIdx,
                        app->ClipExportPath, app->ClipExportPrefix, clip->folderPath(), parent);
    const QString ffmpeg = ffmpegtool::findProgram();
    if (!ffmpeg.isEmpty())
        dialog.setEncoders(ffmpegtool::encoders(ffmpeg));
    dialog.setFrameCount(kvx::exportRange(qint64(clip->totalFrames), clip->lowerTrim(), clip->upperTrim()).count());
    app->scaleWidget(&dialog, true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    app->ClipExportPath = dialog.outputFolder();
    app->ClipExportPrefix = dialog.prefix();
    app->ClipFileType = dialog.fileType();
    app->ClipOutputFps = dialog.fps();
    app->ClipCodecIdx = dialog.codecIndex();

    auto* runner = new RecorderEncoderDialog(clip, dialog.ffmpegArguments(), dialog.outputFile(),
                                             {QCoreApplication::applicationFilePath(), ffmpeg}, parent);
    app->scaleWidget(runner, false);
    if (!runner->start()) {
        app->showMessage(runner->startError(), 0);
        delete runner;
    }
}
