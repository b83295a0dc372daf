#include "DownloadTestSupport.h"

#include "SampleClips.h"
#include "TestFiles.h"
#include "storage/ClipFolder.h"

#include <QDebug>
#include <QFile>
#include <QRegularExpression>

namespace downloadtest {

SimClip simClip(quint16 number, quint64 frames, quint16 width, quint16 height)
{
    return SimClip{sampleClip(number, frames, width, height), {}};
}

LoopbackRecorder::LoopbackRecorder(QList<SimClip> clips, const TransferFaults& faults) : clips_(std::move(clips))
{
    const auto lookup = [clips = clips_](quint32 number) -> std::optional<SimClip> {
        for (const SimClip& clip : clips) {
            if (clip.info.clipNumber == number)
                return clip;
        }
        return std::nullopt;
    };
    server_ = std::make_unique<TransferServer>(lookup, QHostAddress::LocalHost,
                                               kvx::ReceiveUDPThread::RecorderTransferPort, faults, 0);
    QString error;
    if (!server_->start(&error))
        qWarning() << "transfer server:" << error;
}

LoopbackRecorder::~LoopbackRecorder()
{
    server_->stop();
}

QSharedPointer<EthernetView> loopbackLink(bool carriesTransfers)
{
    kvx::RecorderInfoPacket::EthernetInfo ethernet;
    ethernet.setAddress(QHostAddress::LocalHost);
    ethernet.transferPort = 47100;
    ethernet.linkFlags = quint8(0x10 | (carriesTransfers ? kvx::RecorderInfoPacket::EthernetInfo::TransferFlag : 0));
    return QSharedPointer<EthernetView>::create(ethernet, nullptr, 0);
}

QSharedPointer<DownloadableClip> recorderClip(const SimClip& clip)
{
    return QSharedPointer<DownloadableClip>::create(clip.info);
}

QSharedPointer<SavedClip> preparedClip(const QSharedPointer<DownloadableClip>& recorder, const QString& basePath)
{
    auto saved = QSharedPointer<SavedClip>::create(recorder->info());
    if (!saved->prepareDownload(basePath, {})) {
        qWarning() << "could not prepare a clip folder under" << basePath;
        return {};
    }
    recorder->reset();
    saved->resetDownloadProgress();
    return saved;
}

DownloadRequest request(const QSharedPointer<SavedClip>& saved, const QSharedPointer<DownloadableClip>& recorder)
{
    DownloadRequest r;
    r.savedClip = saved;
    r.recorderClip = recorder;
    r.active = 1;
    return r;
}

QString compareFolder(const SavedClip& saved, const SimClip& clip, bool wholeClip)
{
    const QString folder = saved.folderPath() + "/";
    const QByteArray calibration = readFile(folder + clipfolder::CalibrationFile);
    QByteArray expected(qsizetype(calibrationBytes(clip)), '\0');
    fillCalibration(clip, 0, expected.size(), reinterpret_cast<uchar*>(expected.data()));
    if (saved.isCalibrationPresent() && calibration != expected)
        return QStringLiteral("calib.bin differs");
    if (wholeClip && !saved.isCalibrationPresent())
        return QStringLiteral("no calibration stored");

    // Frame by frame, so checking a large clip costs two frames of memory.
    QFile frames(folder + clipfolder::FrameFile);
    const qint64 frameBytes = qint64(frameSize(clip));
    if (!frames.open(QIODevice::ReadOnly) || frames.size() != frameBytes * qint64(clip.info.totalFrames))
        return QStringLiteral("frame file has %1 bytes").arg(frames.size());
    QByteArray expectedFrame(frameBytes, '\0');
    for (const ClipSegment& present : saved.segments()) {
        for (qint64 i = present.first; i <= present.last; ++i) {
            fillFrames(clip, quint64(i), 1, reinterpret_cast<uchar*>(expectedFrame.data()));
            if (!frames.seek(i * frameBytes) || frames.read(frameBytes) != expectedFrame)
                return QStringLiteral("frame %1 differs").arg(i);
        }
    }
    if (!wholeClip)
        return {};
    if (!saved.isComplete())
        return QStringLiteral("only %1 frames present").arg(saved.downloadedFrames());
    const QString xml = QString::fromUtf8(readFile(folder + clipfolder::ClipXml));
    if (!xml.contains(QRegularExpression("<Download_Finished>\\s*1\\s*</Download_Finished>")))
        return QStringLiteral("clip.xml does not say the download finished");
    return {};
}

} // namespace downloadtest
