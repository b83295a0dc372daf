#pragma once

#include "download/RecorderDownloadManager.h"
#include "sim/ClipContent.h"
#include "sim/transfer/TransferServer.h"

#include <QSharedPointer>
#include <QString>

#include <memory>

// Helpers shared by the download tests: simulated clips, a loopback recorder, prepared saved
// clips and the byte-by-byte check of a clip folder against the simulator's generator.
namespace downloadtest {

// width x height frames of one byte per pixel, the default calibration model.
SimClip simClip(quint16 number, quint64 frames, quint16 width = 256, quint16 height = 128);

// The recorder's transfer server on 127.0.0.1:4353, serving the given clips. Only for tests in
// a private network namespace, where that port is free.
class LoopbackRecorder {
public:
    explicit LoopbackRecorder(QList<SimClip> clips, const TransferFaults& faults = {});
    ~LoopbackRecorder();
    bool isRunning() const { return server_ && server_->isRunning(); }
    TransferServer& server() { return *server_; }

private:
    QList<SimClip> clips_;
    std::unique_ptr<TransferServer> server_;
};

// A link of a recorder at 127.0.0.1; linkFlags bit 0 says whether it carries transfers.
QSharedPointer<EthernetView> loopbackLink(bool carriesTransfers);

// A recorder clip as the clip list would hold it.
QSharedPointer<DownloadableClip> recorderClip(const SimClip& clip);

// A saved clip for the recorder clip, prepared under basePath, with reset download state; null
// (with a test failure message in the log) when it could not be prepared.
QSharedPointer<SavedClip> preparedClip(const QSharedPointer<DownloadableClip>& recorderClip, const QString& basePath);

DownloadRequest request(const QSharedPointer<SavedClip>& saved, const QSharedPointer<DownloadableClip>& recorder);

// Empty when calib.bin and every frame present in the folder match the generator; otherwise
// what differs. With wholeClip, every frame must be present and clip.xml must say the download
// finished.
QString compareFolder(const SavedClip& saved, const SimClip& clip, bool wholeClip);

} // namespace downloadtest
