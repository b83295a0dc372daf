#include "control/manager/QMultiRecorderMgr.h"

#include "common/catalogue/ClipInfoProcessor.h"
#include "common/packets/ClipInfoPacket.h"
#include "common/packets/IpChangeDatagram.h"
#include "common/packets/PacketMagic.h"
#include "common/packets/ParameterCodes.h"
#include "control/commands/CommandText.h"
#include "control/discovery/BluetoothEnumerator.h"
#include "control/discovery/UdpEnumerator.h"
#include "control/link/BluetoothInterface.h"
#include "control/link/UdpInterface.h"
#include "control/manager/LinkCommandQueue.h"
#include "control/manager/RecordUpdate.h"

#include <QLoggingCategory>
#include <QUdpSocket>

Q_LOGGING_CATEGORY(lcManager, "vlm.control.manager")

struct QMultiRecorderMgr::Slot {
    std::unique_ptr<BaseRecInterface> link;
    ClipInfoProcessor clips;
    LinkCommandQueue* queue = nullptr; // a child of the link
    bool connectSequenceQueued = false;
};

QMultiRecorderMgr::QMultiRecorderMgr(QObject* parent)
    : QObject(parent), udp_(new UdpEnumerator(this)), bluetooth_(new BluetoothEnumerator(this))
{
    answerTimer_.setSingleShot(true);
    answerTimer_.setInterval(OpenAnswerMs);
    connect(&answerTimer_, &QTimer::timeout, this, &QMultiRecorderMgr::checkAnswers);
    connect(&firmware_, &RecorderFirmwareProgrammer::newFirmwareCommand, this, &QMultiRecorderMgr::sendFirmwareCommand);
    connect(this, &QMultiRecorderMgr::firmwareStatusReceived, this, &QMultiRecorderMgr::takeFirmwareReply);
}

QMultiRecorderMgr::~QMultiRecorderMgr()
{
    closeRecorders(false);
}

int QMultiRecorderMgr::discoveredCount() const
{
    return linkKind_ == BaseRecInterface::Ethernet ? udp_->count() : bluetooth_->count();
}

void QMultiRecorderMgr::stopDiscovery()
{
    udp_->stop();
    if (bluetooth_->isRunning())
        bluetooth_->run(false);
}

bool QMultiRecorderMgr::openRecorders(const QList<int>& discovered, bool multicast)
{
    closeRecorders(false);
    current_ = 0; // a reopened set starts at its first recorder, whatever was current before
    if (discovered.size() > MaxLinks) {
        qCDebug(lcManager, "Refused to open %lld recorders: at most %d", qlonglong(discovered.size()), MaxLinks);
        return false;
    }
    if (linkKind_ == BaseRecInterface::Bluetooth)
        return openBluetoothRecorders(discovered);
    for (int d : discovered) {
        if (!udp_->recorderAt(d))
            return false;
    }
    for (int d : discovered) {
        UdpRecInfo* record = udp_->recorderAt(d);
        record->multicast = multicast;
        auto link = std::make_unique<UdpInterface>();
        UdpInterface* udp = link.get();
        udp->setActive(1);
        udp->openLink(*record, count_);
        udp->records().info = record->info;
        addOpenedLink(std::move(link));
        // The recorder learns where to send once the socket is surely bound and listening.
        const QString greeting = RecorderCommand::greeting(udp->localAddressText(), udp->localPort());
        slots_[size_t(udp->linkIndex())]->queue->append(GreetingDelayMs, [udp, greeting] {
            qCDebug(lcManager, "%s", qPrintable(greeting));
            udp->sendCommand(greeting);
        });
    }
    answerTimer_.start();
    return count_ == discovered.size();
}

bool QMultiRecorderMgr::openBluetoothRecorders(const QList<int>& discovered)
{
    for (int d : discovered) {
        if (!bluetooth_->serviceAt(d))
            return false;
    }
    for (int d : discovered) {
        auto link = std::make_unique<BluetoothInterface>();
        BluetoothInterface* bluetooth = link.get();
        bluetooth->setActive(1);
        addOpenedLink(std::move(link));
        bluetooth->openLink(bluetooth_->serviceAt(d), count_ - 1);
    }
    answerTimer_.start();
    return count_ == discovered.size();
}

bool QMultiRecorderMgr::addOpenedLink(std::unique_ptr<BaseRecInterface> link)
{
    if (count_ >= MaxLinks)
        return false;
    auto slot = std::make_unique<Slot>();
    slot->queue = new LinkCommandQueue(link.get());
    connect(link.get(), &BaseRecInterface::connectionChanged, this, &QMultiRecorderMgr::OnConnectionChanged);
    connect(link.get(), &BaseRecInterface::packetReceived, this, &QMultiRecorderMgr::OnPacketReceived);
    slot->link = std::move(link);
    slots_[size_t(count_++)] = std::move(slot);
    return true;
}

void QMultiRecorderMgr::closeRecorders(bool sendStop)
{
    answerTimer_.stop();
    if (firmwareTarget_) {
        firmware_.abort(); // its recorder goes away
        firmwareTarget_ = nullptr;
    }
    for (int i = 0; i < count_; ++i) {
        BaseRecInterface* link = slots_[size_t(i)]->link.get();
        if (sendStop)
            link->sendTypedCommand(ParameterCode::ControlWord, ControlWord::CloseLinks);
        link->closeLink();
        // Signals queued for it die with it.
        slots_[size_t(i)].reset();
    }
    count_ = 0;
}

void QMultiRecorderMgr::selectNext()
{
    if (count_ > 0 && !isFirmwareUpdateRunning())
        current_ = (current_ + 1) % count_;
}

void QMultiRecorderMgr::selectPrevious()
{
    if (count_ > 0 && !isFirmwareUpdateRunning())
        current_ = (current_ + count_ - 1) % count_;
}

int QMultiRecorderMgr::resolve(int index) const
{
    const int i = index == CurrentIndex ? current_ : index;
    return i >= 0 && i < count_ ? i : -1;
}

BaseRecInterface* QMultiRecorderMgr::link(int index) const
{
    const int i = resolve(index);
    return i < 0 ? nullptr : slots_[size_t(i)]->link.get();
}

ClipInfoProcessor* QMultiRecorderMgr::clipList(int index) const
{
    const int i = resolve(index);
    return i < 0 ? nullptr : &slots_[size_t(i)]->clips;
}

namespace {

template <typename Send>
void forTargets(const QMultiRecorderMgr& mgr, QMultiRecorderMgr::Target target, Send send)
{
    if (target == QMultiRecorderMgr::Target::All) {
        for (int i = 0; i < mgr.count(); ++i)
            if (mgr.link(i)->isConnected())
                send(*mgr.link(i));
        return;
    }
    BaseRecInterface* current = mgr.link();
    if (current && (target == QMultiRecorderMgr::Target::CurrentUnchecked || current->isConnected()))
        send(*current);
}

} // namespace

void QMultiRecorderMgr::sendCommand(const QString& command, Target target)
{
    forTargets(*this, target, [&](BaseRecInterface& link) { link.sendCommand(command); });
}

void QMultiRecorderMgr::sendTypedCommand(int type, quint64 value, const QByteArray& payload, Target target)
{
    forTargets(*this, target, [&](BaseRecInterface& link) { link.sendTypedCommand(type, value, payload); });
}

void QMultiRecorderMgr::sendPaintValue(int group, int channel, int value, Target target)
{
    forTargets(*this, target, [&](BaseRecInterface& link) { link.sendPaintValue(group, channel, value); });
}

bool QMultiRecorderMgr::startStopRecording()
{
    sendCommand(RecorderCommand::StartStopRecording, Target::All);
    return true;
}

bool QMultiRecorderMgr::changeIpAddress(int discovered, const QHostAddress& newAddress)
{
    if (linkKind_ != BaseRecInterface::Ethernet)
        return false;
    const UdpRecInfo* record = udp_->recorderAt(discovered);
    bool ok = false;
    const quint32 address = newAddress.toIPv4Address(&ok);
    if (!record || !ok)
        return false;
    // A socket of its own: the open links keep their ports, and the broadcast reaches a
    // recorder outside the adapter's subnet, which is the one most likely to need a new address.
    QUdpSocket socket;
    if (!socket.bind(record->localAddress, 0)) {
        qCDebug(lcManager, "IP change: cannot bind on %s: %s", qPrintable(record->localAddress.toString()),
                qPrintable(socket.errorString()));
        return false;
    }
    const QByteArray datagram = IpChangeDatagram{address, record->info.recorderId}.encode();
    const qint64 sent = socket.writeDatagram(datagram, QHostAddress(QHostAddress::Broadcast), IpChangeDatagram::Port);
    if (sent != datagram.size()) {
        qCDebug(lcManager, "IP change not sent: %s", qPrintable(socket.errorString()));
        return false;
    }
    return true;
}

std::optional<QString> QMultiRecorderMgr::startFirmwareUpdate()
{
    BaseRecInterface* target = link();
    if (!target)
        return tr("No Velmor is open.");
    if (target->kind() == BaseRecInterface::Bluetooth)
        return tr("The firmware cannot be updated over Bluetooth. Connect the Velmor over Ethernet.");
    firmwareTarget_ = target;
    firmware_.startProcess();
    return std::nullopt;
}

void QMultiRecorderMgr::sendFirmwareCommand(const kvx::FirmwareProgramCommand& command, const QByteArray& data)
{
    // Closing the recorders clears the target, so it is always an open link.
    if (firmwareTarget_)
        firmwareTarget_->sendTypedCommand(ParameterCode::FirmwareCommand, 0, command.encode(data));
}

void QMultiRecorderMgr::takeFirmwareReply(int index, const QByteArray& status)
{
    const auto decoded = kvx::FirmwareProgramStatus::decode(status);
    if (decoded && firmwareTarget_ && link(index) == firmwareTarget_)
        firmware_.processNewReply(*decoded);
}

void QMultiRecorderMgr::OnConnectionChanged(int index, int state)
{
    const int i = resolve(index);
    if (i < 0)
        return;
    Slot& slot = *slots_[size_t(i)];
    emit changeConnectionStatus(index, slot.link->statusText());
    if (state == BaseRecInterface::Connected)
        runConnectSequence(slot);
}

// The queries whose replies fill the records, spaced as a recorder takes them, then stop
// playback. Queued after anything still pending for the link (its greeting), and only once.
void QMultiRecorderMgr::runConnectSequence(Slot& slot)
{
    if (slot.connectSequenceQueued)
        return;
    slot.connectSequenceQueued = true;
    BaseRecInterface* link = slot.link.get();
    int delay = 0;
    if (link->kind() == BaseRecInterface::Bluetooth) {
        slot.queue->append(0, [link] { link->requestValue(ParameterCode::Information); });
        delay = BluetoothInfoDelayMs;
    }
    for (int code : {ParameterCode::Genlock, ParameterCode::BasicInfo, ParameterCode::FirstAlignment,
                     ParameterCode::SecondAlignment}) {
        slot.queue->append(delay, [link, code] { link->requestValue(code); });
        delay = QueryDelayMs;
    }
    slot.queue->append(delay, [link, &slot] {
        slot.connectSequenceQueued = false;
        link->sendCommand(RecorderCommand::StopPlayback);
    });
}

void QMultiRecorderMgr::OnPacketReceived(int index, const char* data, int length)
{
    const int i = resolve(index);
    if (i < 0 || !data || length <= 0)
        return;
    Slot& slot = *slots_[size_t(i)];
    const QByteArrayView packet(data, length);
    if (kvx::peekMagic(packet) == kvx::magic::ClipInfo) {
        const auto head = kvx::ClipInfoPacket::decodeHead(packet);
        const qsizetype size =
            head ? kvx::ClipInfoPacket::HeadSize + kvx::ClipInfoPacket::clipInfo::Size * head->clipCount : 0;
        if (head && (length > size || head->clipCount > head->totalClips)) {
            qCDebug(lcManager, "Ignored a clip list packet of %d bytes for %u of %u clips", length, head->clipCount,
                    head->totalClips);
            return;
        }
        // A short packet fails its whole transmission there.
        if (slot.clips.process(packet))
            emit changeRecorderStatus(index, RecordUpdate::ClipListChanged);
        return;
    }
    const RecordUpdate::Result result = RecordUpdate::apply(slot.link->records(), packet);
    if (result.firmwareStatus)
        emit firmwareStatusReceived(index, *result.firmwareStatus);
    if (result.mask & RecordUpdate::BasicInfoReceived)
        emit changeRecorderStatus(slot.link->linkIndex(), result.mask);
    else if (result.mask)
        emit changeRecorderStatus(index, result.mask);
}

void QMultiRecorderMgr::checkAnswers()
{
    QList<int> silent;
    for (int i = 0; i < count_; ++i) {
        const BaseRecInterface& link = *slots_[size_t(i)]->link;
        if (!link.isConnected() || !link.records().status || !link.records().outputState)
            silent.append(i);
    }
    if (!silent.isEmpty())
        emit openTimedOut(silent);
}
