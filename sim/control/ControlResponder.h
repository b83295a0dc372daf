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
    // The info packet and output state go out again every this many status periods; 0 (the
    // default) sends them only on a greeting and on changes, which is all a program may rely on.
    int periodsPerInfo = 0;
    qint64 firmwareWriteMs = 3000; // time a flash write takes
    FirmwareFaults firmwareFaults;
};

// The control-program side of one simulated recorder, without sockets: it takes each datagram
// that reached the recorder's command port and returns what the recorder sends in answer.
// Port announcements (form 2) and the queries of codes 15 and 26 are the clips manager's
// business and are left to the caller: handle() returns nothing for them.
// It is strict: whatever a control program may not send (a malformed greeting or address, a
// query of form 0, a payload of another length than its code carries, trailing bytes) is
// refused, and every refusal is reported through refused(), so tests see what the program sent.
class ControlResponder : public QObject {
    Q_OBJECT
public:
    // Where a greeting asked the packets to go, and who sent the greeting: a multicast greeting
    // names the group, while the program that may end the stream writes from its own address.
    struct Subscriber {
        QHostAddress address;
        quint16 port = 0;
        QHostAddress owner;
        quint16 ownerPort = 0;
        bool operator==(const Subscriber&) const = default;
    };
    static constexpr int MaxSubscribers = 16;

    ControlResponder(ClipStoreAccess& clips, const kvx::RecorderInfoPacket& info, ControlResponderOptions options = {},
                     SimClock clock = steadyClock(), QObject* parent = nullptr);

    QList<SimDatagram> handle(QByteArrayView datagram, const QHostAddress& from, quint16 fromPort);
    // To be called every status interval (100 ms): the status to every subscriber, and (when
    // asked for) every periodsPerInfo calls the info packet and output state as well.
    QList<SimDatagram> periodic();
    const QList<Subscriber>& subscribers() const { return subscribers_; }

    const kvx::RecorderInfoPacket& info() const { return info_; }
    void setInfo(const kvx::RecorderInfoPacket& info) { info_ = info; }
    // The link now answers at address: report it in the info packet and the information block.
    void takeAddress(const QHostAddress& address);
    RecorderControlState& state() { return state_; }
    const RecorderControlState& state() const { return state_; }
    FirmwareResponder& firmware() { return firmware_; }
    // Addresses a greeting may not name besides 0.0.0.0 and 255.255.255.255: the broadcast
    // addresses of the recorder's own subnets.
    void setBroadcastAddresses(const QList<QHostAddress>& addresses) { broadcasts_ = addresses; }
    StatusPacket currentStatus();

signals:
    // A control program asked for the recorder's packets ("#sh"), also when it asks again: send
    // it the clip list.
    void subscriberAdded(const QHostAddress& address, quint16 port);
    // An IP change datagram named this recorder. Whoever owns the sockets moves the link there
    // and then calls takeAddress(); until then the recorder keeps reporting its old address.
    void addressChangeRequested(const QHostAddress& newAddress);
    // A datagram was refused as malformed or not allowed; reason says why.
    void refused(const QByteArray& reason);

private:
    QList<SimDatagram> handleAscii(QByteArrayView datagram, const QHostAddress& from, quint16 fromPort);
    QList<SimDatagram> handleParameter(QByteArrayView datagram, const QHostAddress& from, quint16 fromPort);
    QList<SimDatagram> handleQuery(const ParameterPacket& packet, const QHostAddress& from, quint16 fromPort);
    QList<SimDatagram> handleSet(const ParameterPacket& packet, const QHostAddress& from, quint16 fromPort);
    void handleIpChange(QByteArrayView datagram);
    QList<SimDatagram> subscribe(const AsciiCommand& command, const QHostAddress& from, quint16 fromPort);
    // Logs and reports a refusal; returns nothing to send.
    QList<SimDatagram> refuse(const QByteArray& reason);
    bool lengthFits(const ParameterPacket& packet, qsizetype datagramSize);
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
    QList<QHostAddress> broadcasts_;
    qint64 lastAdvanceMs_;
    int periods_ = 0;
};
