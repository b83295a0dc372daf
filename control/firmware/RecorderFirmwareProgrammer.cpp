#include "control/firmware/RecorderFirmwareProgrammer.h"

#include "common/packets/FirmwareChecksum.h"
#include "control/firmware/McsImage.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>

#include <optional>

Q_LOGGING_CATEGORY(lcProgrammer, "vlm.control.firmware")

using kvx::FirmwareProgramCommand;
using kvx::FirmwareProgramStatus;

namespace {
constexpr int ReadyRepeatMs = 20;
constexpr int RecoverRepeatMs = 20;
constexpr int WriteAttemptMs = 1000;
constexpr int WriteAttempts = 5;
constexpr int WritePollMs = 500;
constexpr int ProgressReportPackets = 1000;
} // namespace

// Everything one process knows, on the worker's stack.
struct RecorderFirmwareProgrammer::Upload {
    McsImage image;
    qsizetype run = 0;
    bool verifying = false;
    bool checksumRequested = false;
    std::optional<quint16> lastMissing;
    QElapsedTimer replyClock;    // since the last reply (or the last first request)
    QElapsedTimer pacing;        // since the last repeated command
    QElapsedTimer progressClock; // since the upload or the write last moved on
    int writeAttempts = 0;
    float lastProgress = 0.0f;

    float uploadShare(quint32 packets) const { return float(packets) * 0.5f / float(image.totalPackets()); }
};

RecorderFirmwareProgrammer::RecorderFirmwareProgrammer(QObject* parent) : QThread(parent)
{
    qRegisterMetaType<FirmwareProgramCommand>();
    qRegisterMetaType<FirmwareProgramStatus>();
}

RecorderFirmwareProgrammer::~RecorderFirmwareProgrammer()
{
    stop();
}

void RecorderFirmwareProgrammer::stop()
{
    if (isRunning()) {
        requestInterruption();
        abort_ = true;
    }
    wait();
}

void RecorderFirmwareProgrammer::clearFlags()
{
    for (auto* flag : {&writing_, &abort_, &ready_, &timedOut_, &replyReceived_, &checksumError_})
        flag->store(false);
}

void RecorderFirmwareProgrammer::setFileName(const QString& filename)
{
    stop();
    clearFlags();
    fileName_ = filename;
}

void RecorderFirmwareProgrammer::startProcess()
{
    if (writing_ && isRunning())
        return;
    setFileName(fileName_);
    start(QThread::InheritPriority);
}

void RecorderFirmwareProgrammer::abort()
{
    stop();
    clearFlags();
}

void RecorderFirmwareProgrammer::processNewReply(FirmwareProgramStatus reply)
{
    {
        QMutexLocker lock(&mutex_);
        status_ = reply;
    }
    if (reply.missingPacket == 0)
        ready_ = true;
    replyReceived_ = true;
    qCDebug(lcProgrammer, "Reply-> pkt missing: %u progress: %f", reply.missingPacket, double(reply.progress));
}

FirmwareProgramStatus RecorderFirmwareProgrammer::lastStatus()
{
    QMutexLocker lock(&mutex_);
    return status_;
}

// A checksum or a write progress is trusted only from a reply that came after its request.
void RecorderFirmwareProgrammer::sendForAnswer(quint8 command, quint32 address, quint32 length)
{
    {
        QMutexLocker lock(&mutex_);
        if (command == FirmwareProgramCommand::Checksum)
            status_.rangeStart = status_.rangeLength = 0;
        else
            status_.progress = 0.0f;
    }
    send(command, 0, address, length);
}

bool RecorderFirmwareProgrammer::stopRequested() const
{
    return abort_ || isInterruptionRequested();
}

void RecorderFirmwareProgrammer::send(quint8 command, quint32 index, quint32 address, quint32 length, QByteArray data)
{
    emit newFirmwareCommand(FirmwareProgramCommand{index, address, length, command}, data);
}

void RecorderFirmwareProgrammer::report(const QString& text, float progress, int flag)
{
    emit statusUpdate(text, progress, flag);
}

void RecorderFirmwareProgrammer::run()
{
    resent_ = 0;
    {
        // Nothing from an earlier attempt may pass for an answer to this one.
        QMutexLocker lock(&mutex_);
        status_ = {};
    }
    for (auto* flag : {&ready_, &timedOut_, &writing_, &checksumError_, &replyReceived_})
        flag->store(false);
    qCDebug(lcProgrammer, "Uploading: %s", qPrintable(fileName_));
    QFile file(fileName_);
    if (!file.open(QIODevice::ReadOnly)) {
        report(tr("Unable to open firmware file."), 0, -1);
        return;
    }
    report(tr("Initializing enivronment..."), 0);
    Upload u;
    if (!u.image.parse(file.readAll())) {
        report(u.image.error(), 0, -1);
        return;
    }
    send(FirmwareProgramCommand::InitUpload);
    u.replyClock.start();
    u.pacing.start();
    u.progressClock.start();

    while (!stopRequested()) {
        if (replyReceived_.exchange(false))
            u.replyClock.restart();
        const bool checksumAwaited = u.checksumRequested;
        if (u.replyClock.elapsed() > (checksumAwaited ? timings_.checksumTimeoutMs : timings_.replyTimeoutMs)) {
            timedOut_ = true;
            report(tr("Time out waiting for reply."), 0, -1);
            break;
        }
        if (u.progressClock.elapsed() > timings_.stallTimeoutMs) {
            report(tr("The Velmor answers but the update does not go on: stopped."), 0, -1);
            break;
        }
        Outcome outcome = Outcome::Continue;
        if (!ready_) {
            if (u.pacing.elapsed() >= ReadyRepeatMs) {
                send(FirmwareProgramCommand::InitUpload);
                u.pacing.restart();
            }
            msleep(1);
        } else if (u.run < u.image.runs().size()) {
            if (!u.verifying)
                sendRun(u);
            else
                outcome = verifyRun(u);
        } else {
            outcome = writeFlash(u);
        }
        if (outcome == Outcome::Done)
            break;
    }
    writing_ = false;
}

void RecorderFirmwareProgrammer::sendPacket(const McsImage& image, const McsImage::Run& run, quint32 packet)
{
    const quint32 address = run.start + (packet - run.firstPacket) * McsImage::PacketSize;
    const quint32 length = qMin(McsImage::PacketSize, run.end - address);
    send(packet == 0 ? FirmwareProgramCommand::FirstData : FirmwareProgramCommand::Data, packet, address, length,
         image.bytes().mid(address, length));
}

void RecorderFirmwareProgrammer::sendRun(Upload& u)
{
    const McsImage::Run& run = u.image.runs()[u.run];
    for (quint32 i = run.firstPacket; i < run.firstPacket + run.packetCount && !stopRequested(); ++i) {
        sendPacket(u.image, run, i);
        usleep(timings_.packetGapUs);
        if (i % ProgressReportPackets == 0) {
            report(tr("Initializing..."), u.uploadShare(i));
            qCDebug(lcProgrammer, "Packet %u", i);
        }
    }
    send(FirmwareProgramCommand::ReportStatus);
    msleep(10);
    u.replyClock.restart();
    u.pacing.restart();
    u.verifying = true;
    u.checksumRequested = false;
    u.lastMissing.reset();
}

RecorderFirmwareProgrammer::Outcome RecorderFirmwareProgrammer::verifyRun(Upload& u)
{
    msleep(10);
    const McsImage::Run& run = u.image.runs()[u.run];
    const FirmwareProgramStatus s = lastStatus();
    const quint32 runEnd = run.firstPacket + run.packetCount;
    if (s.missingPacket == runEnd) {
        if (u.checksumRequested && s.rangeStart == run.start && s.rangeLength == run.length()) {
            // A checksum that cannot see every corruption, but it is the one the recorder computes.
            if (s.checksum != kvx::firmwareChecksum(QByteArrayView(u.image.bytes()).sliced(run.start, run.length()))) {
                checksumError_ = true;
                abort_ = true;
                report(tr("Detected CRC Error, aborting..."), 0, -1);
                return Outcome::Done;
            }
            ++u.run;
            u.verifying = false;
            u.checksumRequested = false;
            u.progressClock.restart();
            return Outcome::Continue;
        }
        if (!u.checksumRequested || u.pacing.elapsed() > timings_.checksumRetryMs) {
            report(tr("Calculating CRC..."), u.uploadShare(runEnd));
            sendForAnswer(FirmwareProgramCommand::Checksum, run.start, run.length());
            // Only the first request restarts the reply clock, so a silent recorder still times out.
            if (!u.checksumRequested)
                u.replyClock.restart();
            u.checksumRequested = true;
            u.pacing.restart();
            msleep(10);
        }
        return Outcome::Continue;
    }
    const quint16 missing = s.missingPacket;
    if (!u.lastMissing || missing > *u.lastMissing)
        u.progressClock.restart();
    if (u.lastMissing == missing && u.pacing.elapsed() <= RecoverRepeatMs)
        return Outcome::Continue;
    if (missing < run.firstPacket || missing >= runEnd) {
        // Not a packet of this run: ask again rather than send something the recorder did not lack.
        send(FirmwareProgramCommand::ReportStatus);
    } else {
        report(tr("Recovering packets..."), u.uploadShare(missing));
        sendPacket(u.image, run, missing);
        ++resent_;
        msleep(10);
        send(FirmwareProgramCommand::ReportStatus);
    }
    u.lastMissing = missing;
    u.pacing.restart();
    return Outcome::Continue;
}

RecorderFirmwareProgrammer::Outcome RecorderFirmwareProgrammer::writeFlash(Upload& u)
{
    const FirmwareProgramStatus s = lastStatus();
    if (!writing_) {
        // Progress counts only from answers to the write command.
        if (u.writeAttempts > 0 && s.progress > 0.0f) {
            writing_ = true;
            u.progressClock.restart();
            u.pacing.restart();
            return Outcome::Continue;
        }
        msleep(5);
        if (u.writeAttempts == 0 || u.pacing.elapsed() > WriteAttemptMs) {
            if (u.writeAttempts == WriteAttempts) {
                report(tr("Failed to start flash write procedure."), 0, -1);
                return Outcome::Done;
            }
            if (u.writeAttempts == 0)
                report(tr("Initiating write..."), 0.5f);
            ++u.writeAttempts;
            sendForAnswer(FirmwareProgramCommand::WriteFlash, 0, u.image.totalBytes());
            u.pacing.restart();
        }
        return Outcome::Continue;
    }
    if (s.progress >= 1.0f) {
        report(tr("Flash successfully programmed!"), 1.0f, 1);
        writing_ = false;
        return Outcome::Done;
    }
    if (s.progress > u.lastProgress) {
        u.lastProgress = s.progress;
        u.progressClock.restart();
    }
    if (u.pacing.elapsed() > WritePollMs) {
        report(tr("Writing to Flash %1%").arg(double(s.progress) * 100.0, 0, 'f', 2), 0.5f + s.progress * 0.5f);
        send(FirmwareProgramCommand::ReportStatus);
        u.pacing.restart();
    }
    msleep(5);
    return Outcome::Continue;
}
