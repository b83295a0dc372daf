#pragma once

#include "control/commands/PlaybackControl.h"
#include "control/firmware/RecorderFirmwareProgrammer.h"
#include "control/link/BaseRecInterface.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>

#include <array>
#include <memory>
#include <optional>

class BluetoothEnumerator;
class ClipInfoProcessor;
class LinkCommandQueue;
class UdpEnumerator;

// Everything the control program knows about recorders: discovery, up to 64 open links with
// their records and clip lists, the current recorder, and the commands sent to one or to all of
// them. Links report their state and packets here; the window hears what changed through
// changeConnectionStatus and changeRecorderStatus (masks of RecordUpdate::Change).
class QMultiRecorderMgr : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxLinks = 64;
    static constexpr int CurrentIndex = -1;
    // How long opened recorders have to answer before the window is told.
    static constexpr int OpenAnswerMs = 5000;
    // The spacing of the greeting and of the connect sequence, between one command to a
    // recorder and the next.
    static constexpr int GreetingDelayMs = 50;
    static constexpr int QueryDelayMs = 80;
    static constexpr int BluetoothInfoDelayMs = 100;

    enum class Target {
        Current,          // the current recorder, only while it is connected
        CurrentUnchecked, // the current recorder, connected or not
        All,              // every connected recorder
    };

    explicit QMultiRecorderMgr(QObject* parent = nullptr);
    ~QMultiRecorderMgr() override;

    // Discovery.
    UdpEnumerator* udpDiscovery() const { return udp_; }
    BluetoothEnumerator* bluetoothDiscovery() const { return bluetooth_; }
    int linkKind() const { return linkKind_; }
    void setLinkKind(int kind) { linkKind_ = kind; }
    int discoveredCount() const;
    void stopDiscovery();

    // Closes every open link and opens one to each discovered recorder named (at most 64), in
    // that order; the first becomes current. False, with nothing opened, for more than 64 or
    // for a discovered index that does not exist.
    bool openRecorders(const QList<int>& discovered, bool multicast);
    // Takes a link opened elsewhere (a Bluetooth link, a test's link) into the next position of
    // the table; false when the table is full.
    bool addOpenedLink(std::unique_ptr<BaseRecInterface> link);
    // With sendStop, each recorder is told first that its link closes (code 12, value 256).
    void closeRecorders(bool sendStop);

    int count() const { return count_; }
    int currentIndex() const { return current_; }
    // Both do nothing while a firmware update runs: its recorder stays current.
    void selectNext();
    void selectPrevious();
    // The link at index (-1: the current one); null for an index without a link.
    BaseRecInterface* link(int index = CurrentIndex) const;
    ClipInfoProcessor* clipList(int index = CurrentIndex) const;

    void sendCommand(const QString& command, Target target);
    void sendTypedCommand(int type, quint64 value, const QByteArray& payload, Target target);
    void sendPaintValue(int group, int channel, int value, Target target);
    // "#ss$" to every connected recorder.
    bool startStopRecording();
    // Broadcasts the IP change for discovered recorder i from a socket of its own on the adapter
    // that found it. False for a Bluetooth link kind, an unknown recorder or a failed send.
    bool changeIpAddress(int discovered, const QHostAddress& newAddress);

    PlaybackControl& playback() { return playback_; }

    RecorderFirmwareProgrammer& firmware() { return firmware_; }
    // Starts programming the current recorder, which stays the update's one recorder: its
    // commands go to that link and only its replies are taken, whatever becomes current.
    // Returns why it cannot start (no recorder, or a Bluetooth link, whose frames cannot carry a
    // data packet), or nothing when it started.
    std::optional<QString> startFirmwareUpdate();
    bool isFirmwareUpdateRunning() const { return firmware_.isRunning(); }

signals:
    void changeConnectionStatus(int index, const QString& text);
    void changeRecorderStatus(int index, int changeMask);
    // A code 14 reply: the firmware programmer's status record.
    void firmwareStatusReceived(int index, const QByteArray& status);
    // Opened recorders that had not sent their status and output state OpenAnswerMs after
    // opening, by link index; not emitted when all did.
    void openTimedOut(const QList<int>& silent);

public slots:
    void OnConnectionChanged(int index, int state);
    void OnPacketReceived(int index, const char* data, int length);

private:
    struct Slot;
    int resolve(int index) const;
    void runConnectSequence(Slot& slot);
    void checkAnswers();
    bool openBluetoothRecorders(const QList<int>& discovered);
    void sendFirmwareCommand(const kvx::FirmwareProgramCommand& command, const QByteArray& data);
    void takeFirmwareReply(int index, const QByteArray& status);

    UdpEnumerator* udp_;
    BluetoothEnumerator* bluetooth_;
    int linkKind_ = BaseRecInterface::Ethernet;
    std::array<std::unique_ptr<Slot>, MaxLinks> slots_;
    int count_ = 0;
    int current_ = 0;
    PlaybackControl playback_;
    QTimer answerTimer_;
    RecorderFirmwareProgrammer firmware_;
    BaseRecInterface* firmwareTarget_ = nullptr;
};
