#pragma once

#include "common/packets/FirmwarePackets.h"
#include "control/firmware/McsImage.h"

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QThread>

#include <atomic>

// Programs a recorder's firmware from an MCS file on a thread of its own: uploads the image in
// numbered 256-byte packets, re-sends what the recorder reports missing, checks every run of
// packets against the recorder's checksum, and has the recorder write the image to flash.
// Commands leave through newFirmwareCommand; the recorder's status records come back through
// processNewReply.
class RecorderFirmwareProgrammer : public QThread {
    Q_OBJECT
public:
    struct Timings {
        int replyTimeoutMs = 5000;
        int checksumTimeoutMs = 10000;
        // A checksum request that got no answer is sent again this often.
        int checksumRetryMs = 3000;
        // Replies that keep coming without the upload or the write moving on end it.
        int stallTimeoutMs = 30000;
        int packetGapUs = 750;
    };

    explicit RecorderFirmwareProgrammer(QObject* parent = nullptr);
    ~RecorderFirmwareProgrammer() override;

    void setTimings(const Timings& timings) { timings_ = timings; }
    bool isWriting() const { return writing_.load(); }
    QString fileName() const { return fileName_; }
    // Packets sent again because the recorder reported them missing, in the last process.
    int resentPackets() const { return resent_.load(); }

signals:
    void newFirmwareCommand(kvx::FirmwareProgramCommand command, QByteArray data);
    // progress: 0 to 0.5 while uploading, 0.5 to 1 while writing; nFlag 0 running, 1 done, -1
    // failed.
    void statusUpdate(QString portion, float progress, int nFlag);

public slots:
    void processNewReply(kvx::FirmwareProgramStatus reply);
    // Stops a running process and clears every flag.
    void setFileName(const QString& filename);
    // Starts from the file again; ignored while the recorder writes its flash.
    void startProcess();
    void abort();

protected:
    void run() override;

private:
    enum class Outcome { Continue, Done };
    struct Upload;
    void stop();
    void clearFlags();
    void send(quint8 command, quint32 index = 0, quint32 address = 0, quint32 length = 0, QByteArray data = {});
    void report(const QString& text, float progress, int flag = 0);
    kvx::FirmwareProgramStatus lastStatus();
    void sendForAnswer(quint8 command, quint32 address, quint32 length);
    bool stopRequested() const;
    // Packet number packet of the run, with its bytes.
    void sendPacket(const McsImage& image, const McsImage::Run& run, quint32 packet);
    void sendRun(Upload& u);
    Outcome verifyRun(Upload& u);
    Outcome writeFlash(Upload& u);

    Timings timings_;
    QString fileName_;
    QMutex mutex_;
    kvx::FirmwareProgramStatus status_;
    std::atomic<bool> writing_{false};
    std::atomic<bool> abort_{false};
    std::atomic<bool> ready_{false};
    std::atomic<bool> timedOut_{false};
    std::atomic<bool> replyReceived_{false};
    std::atomic<bool> checksumError_{false};
    std::atomic<int> resent_{0};
};
