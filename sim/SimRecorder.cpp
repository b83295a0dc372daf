#include "sim/SimRecorder.h"

#include "common/packets/PacketMagic.h"
#include "common/packets/ParameterCodes.h"
#include "common/packets/ParameterPacket.h"
#include "sim/ClipListTransmission.h"
#include "sim/RecorderDefaults.h"
#include "sim/SimLog.h"

#include <QJsonObject>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QUdpSocket>

#include <algorithm>

SimRecorder::SimRecorder(const SimRecorderConfig& config, const SimConfig& common, SimLog* log, QObject* parent)
    : QObject(parent), config_(config), common_(common), log_(log), clips_(config.clips),
      colourMatrices_(defaultColorMatrixTable())
{
    std::sort(clips_.begin(), clips_.end(),
              [](const SimClip& a, const SimClip& b) { return a.info.clipNumber < b.info.clipNumber; });
    for (const SimLinkConfig& l : config_.links)
        links_.push_back(Link{l, nullptr, nullptr, 0, QHostAddress(), 0});
    clipListTimer_.setInterval(common_.clipListIntervalMs);
    connect(&clipListTimer_, &QTimer::timeout, this, &SimRecorder::sendClipListToAll);
    connect(this, &SimRecorder::clipsChanged, this, &SimRecorder::sendClipListToAll);
}

SimRecorder::~SimRecorder()
{
    for (Link& l : links_)
        if (l.transfer)
            l.transfer->stop();
}

// Binds the link's command socket (and its transfer server) to address and learns the network
// the address sits on.
bool SimRecorder::openLink(Link& l, const QHostAddress& address, QString* error)
{
    auto* socket = new QUdpSocket(this);
    // Shared, so the simulator's wildcard socket for broadcasts can hold the same port.
    const quint16 port = l.socket ? l.socket->localPort() : l.config.commandPort;
    if (!socket->bind(address, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        *error = QStringLiteral("cannot bind the command port %1:%2: %3")
                     .arg(address.toString())
                     .arg(port)
                     .arg(socket->errorString());
        delete socket;
        return false;
    }
    std::unique_ptr<TransferServer> transfer;
    if (l.config.carriesTransfers) {
        // A new address takes the port the old one had; the old server stops only once the
        // new one runs, so a failed move leaves the link as it was.
        const quint16 transferPort = l.transfer ? l.transferPort : l.config.transferPort;
        transfer = std::make_unique<TransferServer>([this](quint32 n) { return findClip(n); }, address, transferPort,
                                                    common_.faults, common_.rateGbps);
        transfer->setLog(log_, config_.recorderId);
        QString why;
        if (!transfer->start(&why)) {
            *error = QStringLiteral("cannot start the transfer server on %1:%2: %3")
                         .arg(address.toString())
                         .arg(transferPort)
                         .arg(why);
            delete socket;
            return false;
        }
        l.transferPort = transfer->boundPort();
        if (l.transfer)
            l.transfer->stop();
        l.transfer = std::move(transfer);
    } else {
        l.transferPort = l.config.transferPort;
    }
    if (l.socket) {
        l.socket->disconnect(this);
        l.socket->deleteLater(); // its own readyRead may be running
    }
    l.socket = socket;
    l.config.address = address;
    const int index = int(&l - links_.data());
    connect(socket, &QUdpSocket::readyRead, this, [this, index] { readCommands(index); });

    // The interface entry holding the address, or else the one whose subnet holds it (any
    // 127.x address answers on the loopback interface).
    l.broadcast = QHostAddress();
    l.interfaceIndex = 0;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol
                || !address.isInSubnet(entry.ip(), entry.prefixLength()))
                continue;
            if (l.interfaceIndex == 0 || entry.ip() == address) {
                l.interfaceIndex = interface.index();
                l.broadcast = entry.broadcast();
            }
        }
    }
    return true;
}

bool SimRecorder::start(QString* error)
{
    for (Link& l : links_) {
        if (!openLink(l, l.config.address, error))
            return false;
    }
    for (int i = 0; i < linkCount(); ++i)
        infos_.append(infoPacket(i));

    ControlResponderOptions options;
    options.periodsPerInfo = common_.recordRepeatPeriods;
    options.firmwareWriteMs = common_.firmwareWriteMs;
    options.firmwareFaults.dropDataPercent = common_.firmwareDropPercent;
    options.firmwareFaults.seed = quint32(common_.faults.seed);
    if (common_.firmwareCorruptOffset >= 0)
        options.firmwareFaults.corruptOffset = quint32(common_.firmwareCorruptOffset);
    options.firmwareFaults.neverStartWriting = common_.firmwareNeverWrites;
    control_ = std::make_unique<ControlResponder>(*this, infos_.first(), options);
    control_->state().outputState = defaultOutputState();
    control_->state().genlockWord = config_.genlockWord;
    control_->setBroadcastAddresses(linkBroadcasts());
    connect(control_.get(), &ControlResponder::subscriberAdded, this, &SimRecorder::sendClipList);
    connect(control_.get(), &ControlResponder::addressChangeRequested, this, &SimRecorder::moveFirstLink);
    connect(control_.get(), &ControlResponder::refused, this, [this](const QByteArray& reason) {
        log("event", "refused", {{"reason", QString::fromLatin1(reason)}});
    });

    clipListTimer_.start();
    log("event", "started", {{"links", linkCount()}, {"clips", clipCount()}});
    return true;
}

kvx::RecorderInfoPacket SimRecorder::infoPacket(int link) const
{
    if (link < infos_.size())
        return infos_[link];
    const Link& l = links_[size_t(link)];
    kvx::RecorderInfoPacket p;
    p.recorderId = config_.recorderId;
    p.versionDate = config_.versionDate;
    p.cameraSerial = config_.cameraSerial;
    p.cameraModel = config_.cameraModel;
    // A made-up but stable MAC address per recorder and link.
    const quint32 serial = p.serialNumber();
    p.ethernet.unnamed0 = {0x02, 0x56, quint8(serial >> 16), quint8(serial >> 8), quint8(serial), quint8(link)};
    p.ethernet.setAddress(l.config.address);
    p.ethernet.commandPort = l.socket ? l.socket->localPort() : l.config.commandPort;
    p.ethernet.secondPort = p.ethernet.commandPort;
    p.ethernet.transferPort = l.transferPort ? l.transferPort : l.config.transferPort;
    p.ethernet.unnamed14 = p.ethernet.transferPort;
    p.ethernet.linkFlags = quint8((l.config.linkCode & 0x7) << 4 | (l.config.carriesTransfers ? 1 : 0));
    return p;
}

TransferServer* SimRecorder::transferServer(int link) const
{
    return links_[size_t(link)].transfer.get();
}

void SimRecorder::logTransferCounters() const
{
    for (int link = 0; link < linkCount(); ++link) {
        const TransferServer* server = transferServer(link);
        if (!server)
            continue;
        const TransferCounters c = server->counters();
        log("event", "transfer-counters",
            {{"packetsSent", qint64(c.packetsSent)},
             {"packetsResent", qint64(c.packetsResent)},
             {"bytesSent", qint64(c.bytesSent)},
             {"requests", qint64(c.requestsSeen)},
             {"missingLists", qint64(c.missingLists)},
             {"dropped", qint64(c.packetsDropped)},
             {"duplicated", qint64(c.packetsDuplicated)},
             {"heldBack", qint64(c.packetsHeldBack)}},
            link);
    }
}

void SimRecorder::log(const char* dir, const char* kind, QJsonObject fields, int link) const
{
    if (log_ && log_->enabled())
        log_->write(config_.recorderId, links_[size_t(link)].config.address.toString(), dir, kind, std::move(fields));
}

QList<QHostAddress> SimRecorder::linkBroadcasts() const
{
    QList<QHostAddress> broadcasts;
    for (const Link& l : links_)
        if (!l.broadcast.isNull())
            broadcasts.append(l.broadcast);
    return broadcasts;
}

bool SimRecorder::receives(const Link& l, const QHostAddress& destination, int interfaceIndex) const
{
    if (destination.isNull())
        return true; // the system did not say where it went: as if to every link
    return destination == l.config.address || (!l.broadcast.isNull() && destination == l.broadcast)
        || (destination == QHostAddress(QHostAddress::Broadcast) && interfaceIndex == l.interfaceIndex);
}

void SimRecorder::answerDiscovery(const QHostAddress& from, quint16 replyPort, const QHostAddress& destination,
                                  int interfaceIndex)
{
    for (int i = 0; i < linkCount(); ++i) {
        if (!receives(links_[size_t(i)], destination, interfaceIndex))
            continue;
        links_[size_t(i)].socket->writeDatagram(infos_[i].encode(), from, replyPort);
        log("out", "RecorderInfoPacket", {{"to", from.toString()}, {"port", replyPort}}, i);
    }
}

void SimRecorder::readCommands(int link)
{
    QUdpSocket* socket = links_[size_t(link)].socket;
    while (socket->hasPendingDatagrams()) {
        const QNetworkDatagram d = socket->receiveDatagram(65536);
        if (!d.isValid())
            continue;
        QHostAddress from = d.senderAddress();
        from.setScopeId({});
        takeCommand(link, d.data(), QHostAddress(from.toIPv4Address()), quint16(d.senderPort()));
    }
}

void SimRecorder::takeBroadcastCommand(QByteArrayView datagram, const QHostAddress& from, quint16 fromPort)
{
    log("in", "broadcast-command",
        {{"from", from.toString()},
         {"bytes", datagram.size()},
         {"hex", QString::fromLatin1(datagram.first(std::min<qsizetype>(64, datagram.size())).toByteArray().toHex())}});
    sendAll(control_->handle(datagram, from, fromPort));
}

void SimRecorder::takeCommand(int link, QByteArrayView datagram, const QHostAddress& from, quint16 fromPort)
{
    lastLinkOf_[from.toString()] = link;
    if (takeClipsManagerPacket(link, datagram, from, fromPort))
        return;
    QJsonObject fields{{"from", from.toString()}, {"port", fromPort}, {"bytes", datagram.size()}};
    if (!datagram.isEmpty() && datagram.front() == '#') {
        fields.insert(QStringLiteral("text"),
                      QString::fromLatin1(datagram.first(std::min<qsizetype>(80, datagram.size())).toByteArray()));
        log("in", "ascii", fields, link);
    } else if (const auto p = kvx::peekMagic(datagram); p == kvx::magic::Parameter) {
        const auto packet = ParameterPacket::decode(datagram);
        if (packet) {
            fields.insert(QStringLiteral("code"), packet->code);
            fields.insert(QStringLiteral("form"), packet->form);
            fields.insert(QStringLiteral("operation"), packet->operation);
            fields.insert(QStringLiteral("word"), qint64(packet->word));
        }
        // The whole datagram, so a test can compare what the program sent byte by byte.
        fields.insert(
            QStringLiteral("hex"),
            QString::fromLatin1(datagram.first(std::min<qsizetype>(512, datagram.size())).toByteArray().toHex()));
        log("in", "ParameterPacket", fields, link);
    } else {
        log("in", "other", fields, link);
    }
    sendAll(control_->handle(datagram, from, fromPort));
}

bool SimRecorder::takeClipsManagerPacket(int link, QByteArrayView datagram, const QHostAddress& from, quint16 fromPort)
{
    if (kvx::peekMagic(datagram) != kvx::magic::Parameter)
        return false;
    const auto packet = ParameterPacket::decode(datagram);
    if (!packet)
        return false;
    const QJsonObject fields{{"from", from.toString()},        {"port", fromPort},
                             {"code", packet->code},           {"form", packet->form},
                             {"operation", packet->operation}, {"word", qint64(packet->word)}};
    if (packet->form == ParameterPacket::PortAnnouncement) {
        log("in", "port-announcement", fields, link);
        const quint16 port = quint16(packet->word);
        auto same = std::find_if(listTargets_.begin(), listTargets_.end(),
                                 [&](const ListTarget& t) { return t.address == from; });
        if (same == listTargets_.end())
            listTargets_.append({from, port});
        else
            same->port = port;
        sendClipList(from, port);
        return true;
    }
    if (packet->operation != ParameterPacket::Query)
        return false;
    if (packet->code == ParameterCode::PaintOptions) {
        log("in", "paint-options-query", fields, link);
        send(control_->state().outputState.encode(), from, fromPort);
        return true;
    }
    if (packet->code == ParameterCode::ColourMatrices && packet->form == ParameterPacket::PayloadFollows) {
        log("in", "colour-matrix-query", fields, link);
        const QByteArray payload = colourMatrices_.encode();
        const quint32 word = common_.matrixAnswerWord.value_or(quint32(payload.size()));
        send(ParameterPacket{ParameterCode::ColourMatrices, ParameterPacket::PayloadFollows, ParameterPacket::Reply,
                             word, payload}
                 .encode(),
             from, fromPort);
        return true;
    }
    return false;
}

void SimRecorder::sendClipList(const QHostAddress& to, quint16 port)
{
    QList<kvx::ClipInfoPacket::clipInfo> infos;
    for (const SimClip& c : clips())
        infos.append(c.info);
    const quint16 listId = nextListId_++;
    const QList<QByteArray> packets = clipListPackets(infos, listId, common_.clipsPerPacket);
    for (const QByteArray& p : packets)
        send(p, to, port);
    log("out", "clip-list",
        {{"to", to.toString()},
         {"port", port},
         {"listId", listId},
         {"clips", infos.size()},
         {"packets", packets.size()}},
        linkFor(to));
}

void SimRecorder::sendClipListToAll()
{
    for (const ListTarget& t : std::as_const(listTargets_))
        sendClipList(t.address, t.port);
    if (control_)
        for (const ControlResponder::Subscriber& s : control_->subscribers())
            sendClipList(s.address, s.port);
}

void SimRecorder::sendPeriodic()
{
    if (control_)
        sendAll(control_->periodic());
}

void SimRecorder::sendAll(const QList<SimDatagram>& datagrams)
{
    for (const SimDatagram& d : datagrams)
        send(d.bytes, d.to, d.port);
}

int SimRecorder::linkFor(const QHostAddress& to) const
{
    return lastLinkOf_.value(to.toString(), 0);
}

void SimRecorder::send(const QByteArray& bytes, const QHostAddress& to, quint16 port)
{
    links_[size_t(linkFor(to))].socket->writeDatagram(bytes, to, port);
}

void SimRecorder::moveFirstLink(const QHostAddress& address)
{
    // A recorder that cannot take the address keeps the old one and goes on reporting it, so
    // that what discovery finds is always where the recorder really answers.
    QString error;
    if (!openLink(links_.front(), address, &error)) {
        log("event", "refused", {{"reason", QStringLiteral("address change: %1").arg(error)}});
        return;
    }
    infos_.first().ethernet.setAddress(address);
    control_->takeAddress(address);
    control_->setBroadcastAddresses(linkBroadcasts());
    log("event", "address-changed", {{"address", address.toString()}});
}

std::optional<SimClip> SimRecorder::findClip(quint32 clipNumber) const
{
    QMutexLocker lock(&clipsMutex_);
    for (const SimClip& c : clips_)
        if (c.info.clipNumber == clipNumber)
            return c;
    return std::nullopt;
}

QList<SimClip> SimRecorder::clips() const
{
    QMutexLocker lock(&clipsMutex_);
    return clips_;
}

int SimRecorder::clipCount() const
{
    QMutexLocker lock(&clipsMutex_);
    return int(clips_.size());
}

kvx::ClipInfoPacket::clipInfo SimRecorder::clipAt(int index) const
{
    QMutexLocker lock(&clipsMutex_);
    return index >= 0 && index < clips_.size() ? clips_[index].info : kvx::ClipInfoPacket::clipInfo{};
}

void SimRecorder::addRecordedClip(quint64 frames)
{
    {
        QMutexLocker lock(&clipsMutex_);
        const quint16 number = clips_.isEmpty() ? 0 : quint16(clips_.last().info.clipNumber + 1);
        const bool uhd = config_.cameraModel == 1;
        SimClip clip = clips_.isEmpty()
            ? SimConfig::makeClip(number, uhd ? 3840 : 1920, uhd ? 2160 : 1080, frames, 60, config_.cameraSerial)
            : clips_.last();
        clip.info.clipNumber = number;
        clip.info.totalFrames = frames;
        clip.info.fps = control_ ? float(control_->state().frameRate) : clip.info.fps;
        clip.info.clipUid = (quint64(config_.recorderId) << 24) ^ (0xC1000000ull + nextClipUid_++);
        clips_.append(clip);
    }
    log("event", "clip-recorded", {{"frames", qint64(frames)}});
    emit clipsChanged();
}

bool SimRecorder::deleteClip(int index)
{
    {
        QMutexLocker lock(&clipsMutex_);
        if (index < 0 || index >= clips_.size())
            return false;
        clips_.removeAt(index);
    }
    log("event", "clip-deleted", {{"index", index}});
    emit clipsChanged();
    return true;
}

void SimRecorder::deleteAllClips()
{
    {
        QMutexLocker lock(&clipsMutex_);
        clips_.clear();
    }
    log("event", "clips-deleted", {});
    emit clipsChanged();
}
