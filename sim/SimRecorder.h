#pragma once

#include "common/packets/ColorMatrixTable.h"
#include "common/packets/RecorderInfoPacket.h"
#include "sim/SimConfig.h"
#include "sim/control/ClipStoreAccess.h"
#include "sim/control/ControlResponder.h"
#include "sim/transfer/TransferServer.h"

#include <QHostAddress>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

class QUdpSocket;
class SimLog;

// One simulated recorder: its links (a command socket and, where the link carries transfers, a
// transfer server each), its clips, and its answers on the command port. The clips manager's
// packets (port announcement, paint-options and colour-matrix queries) are answered here;
// everything else on the command port goes to the control-program side.
class SimRecorder : public QObject, public ClipStoreAccess {
    Q_OBJECT
public:
    SimRecorder(const SimRecorderConfig& config, const SimConfig& common, SimLog* log, QObject* parent = nullptr);
    ~SimRecorder() override;

    // Binds every link's command socket and starts the transfer servers. Ports given as 0 are
    // chosen by the system and reported in the information packets.
    bool start(QString* error);

    quint64 recorderId() const { return config_.recorderId; }
    int linkCount() const { return int(links_.size()); }
    // The information packet the recorder answers with on link i.
    kvx::RecorderInfoPacket infoPacket(int link) const;
    TransferServer* transferServer(int link) const;
    ControlResponder& control() { return *control_; }

    // A discovery request reached the simulator, sent to destination and arriving on the
    // network interface interfaceIndex: one information packet from each link that the request
    // reaches (sent to that link's address, to the broadcast address of its subnet, or to
    // 255.255.255.255 on its interface), from that link's socket to the requester's reply port.
    void answerDiscovery(const QHostAddress& from, quint16 replyPort, const QHostAddress& destination,
                         int interfaceIndex);
    // A datagram to the command port that arrived on the simulator's wildcard socket (an IP
    // change broadcast, which names its recorder itself).
    void takeBroadcastCommand(QByteArrayView datagram, const QHostAddress& from, quint16 fromPort);
    // Status interval tick: status packets to the control programs that asked for them.
    void sendPeriodic();
    // One "transfer-counters" log line per link with a transfer server: what it sent and the
    // faults it injected so far.
    void logTransferCounters() const;

    QList<SimClip> clips() const;

    // ClipStoreAccess
    int clipCount() const override;
    kvx::ClipInfoPacket::clipInfo clipAt(int index) const override;
    void addRecordedClip(quint64 frames) override;
    bool deleteClip(int index) override;
    void deleteAllClips() override;

signals:
    void clipsChanged();

private:
    struct Link {
        SimLinkConfig config;
        QUdpSocket* socket = nullptr;
        std::unique_ptr<TransferServer> transfer;
        quint16 transferPort = 0; // as reported
        QHostAddress broadcast;   // of the link's subnet; null where it has none (loopback)
        int interfaceIndex = 0;   // of the network interface holding the link's address
    };
    struct ListTarget {
        QHostAddress address;
        quint16 port;
    };

    void readCommands(int link);
    void takeCommand(int link, QByteArrayView datagram, const QHostAddress& from, quint16 fromPort);
    bool takeClipsManagerPacket(int link, QByteArrayView datagram, const QHostAddress& from, quint16 fromPort);
    void sendClipList(const QHostAddress& to, quint16 port);
    void sendClipListToAll();
    void sendAll(const QList<SimDatagram>& datagrams);
    void send(const QByteArray& bytes, const QHostAddress& to, quint16 port);
    int linkFor(const QHostAddress& to) const;
    bool openLink(Link& link, const QHostAddress& address, QString* error);
    bool receives(const Link& link, const QHostAddress& destination, int interfaceIndex) const;
    void moveFirstLink(const QHostAddress& address);
    QList<QHostAddress> linkBroadcasts() const;
    std::optional<SimClip> findClip(quint32 clipNumber) const;
    void log(const char* dir, const char* kind, QJsonObject fields, int link = 0) const;

    SimRecorderConfig config_;
    const SimConfig& common_;
    SimLog* log_;
    std::vector<Link> links_;
    QList<kvx::RecorderInfoPacket> infos_;
    mutable QMutex clipsMutex_; // transfer threads look clips up
    QList<SimClip> clips_;
    quint64 nextClipUid_ = 1;
    QList<ListTarget> listTargets_;
    QHash<QString, int> lastLinkOf_; // peer address -> link it last wrote to
    quint16 nextListId_ = 1;
    QTimer clipListTimer_;
    ColorMatrixTable colourMatrices_;
    std::unique_ptr<ControlResponder> control_;
};
