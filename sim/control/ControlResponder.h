#pragma once

#include "common/packets/RecorderInfoPacket.h"
#include "sim/control/ClipStoreAccess.h"
#include "sim/control/FirmwareResponder.h"
#include "sim/control/RecorderControlState.h"
#include "sim/control/SimClock.h"
#include "sim/control/SimDatagram.h"

#include <QByteArrayView>
#include <QHostAddress>
#include <QList>
#include <QObject>

struct AsciiCommand;
struct ParameterPacket;

struct ControlResponderOptions {
    int periodsPerInfo = 10;       // the info packet and output state go out every this many periods
    qint64 firmwareWriteMs = 3000; // time a flash write takes
    FirmwareFaults firmwareFaults;
};

// The control-program side of one simulated recorder, without sockets: it takes each datagram
// that reached the recorder's command port and returns what the recorder sends in answer.
// Port announcements (form 2) and the queries of codes 15 and 26 are the clips manager's
// business and are left to the caller: handle() returns nothing for them.
class ControlResponder : public QObject {
    Q_OBJECT
public:
    struct Subscriber {
        QHostAddress address;
        quint16 port = 0;
        bool operator==(const Subscriber&) const = default;
    };
    static constexpr int MaxSubscribers = 16;

    ControlResponder(ClipStoreAccess& clips, const kvx::RecorderInfoPacket& info, ControlResponderOptions options = {},
                     SimClock clock = steadyClock(), QObject* parent = nullptr);

    QList<SimDatagram> handle(QByteArrayView datagram, const QHostAddress& from, quint16 fromPort);
    // To be called every status interval (100 ms): the status to every subscriber, and every
    // periodsPerInfo calls the info packet and output state as well.
    QList<SimDatagram> periodic();
    const QList<Subscriber>& subscribers() const { return subscribers_; }

    const kvx::RecorderInfoPacket& info() const { return info_; }
    void setInfo(const kvx::RecorderInfoPacket& info) { info_ = info; }
    RecorderControlState& state() { return state_; }
    const RecorderControlState& state() const { return state_; }
    FirmwareResponder& firmware() { return firmware_; }
    StatusPacket currentStatus();

signals:
    // A control program asked for the recorder's packets ("#sh"), also when it asks again: send
    // it the clip list.
    void subscriberAdded(const QHostAddress& address, quint16 port);
    // An IP change datagram named this recorder: it now reports newAddress.
    void addressChanged(const QHostAddress& newAddress);

private:
    QList<SimDatagram> handleAscii(QByteArrayView datagram);
    QList<SimDatagram> handleParameter(QByteArrayView datagram, const QHostAddress& from, quint16 fromPort);
    QList<SimDatagram> handleQuery(const ParameterPacket& packet, const QHostAddress& from, quint16 fromPort);
    QList<SimDatagram> handleSet(const ParameterPacket& packet, const QHostAddress& from, quint16 fromPort);
    void handleIpChange(QByteArrayView datagram);
    QList<SimDatagram> subscribe(const AsciiCommand& command);
    bool applyRecorderCommand(const AsciiCommand& command);
    void toggleRecording();
    void deleteLatestClip();

    QList<SimDatagram> toAllSubscribers(const QByteArray& bytes) const;
    quint64 selectedClipFrames();
    quint64 diskFree() const;
    void catchUpPlayback();

    ClipStoreAccess& clips_;
    kvx::RecorderInfoPacket info_;
    ControlResponderOptions options_;
    SimClock clock_;
    RecorderControlState state_;
    FirmwareResponder firmware_;
    QList<Subscriber> subscribers_;
    qint64 lastAdvanceMs_;
    int periods_ = 0;
};
