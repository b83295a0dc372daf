#include "download/RecorderDownloadManager.h"

#include "common/packets/PacketMagic.h"
#include "common/packets/ParameterCodes.h"
#include "common/packets/ParameterPacket.h"

RecorderDownloadManager::RecorderDownloadManager()
{
    tickTimer_.setSingleShot(true);
    connect(&tickTimer_, &QTimer::timeout, this, &RecorderDownloadManager::tick);
    tickTimer_.start(TickMs);
}

RecorderDownloadManager::~RecorderDownloadManager()
{
    // Interrupt all first so the threads wind down side by side.
    for (const QSharedPointer<LinkChannel>& channel : std::as_const(linkChannels_)) {
        if (channel->thread)
            channel->thread->requestInterruption();
    }
    for (const QSharedPointer<LinkChannel>& channel : std::as_const(linkChannels_)) {
        if (channel->thread) {
            channel->thread->wait();
            channel->thread.reset();
        }
    }
}

void RecorderDownloadManager::makeChannel(const QSharedPointer<EthernetView>& link, quint16 recorderTransferPort)
{
    auto channel = QSharedPointer<LinkChannel>::create();
    channel->link = link;
    const kvx::RecorderInfoPacket::EthernetInfo& ethernet = link->ethernet();
    if (ethernet.carriesTransfers()) {
        channel->thread =
            QSharedPointer<kvx::ReceiveUDPThread>::create(nullptr, ethernet.address(), ethernet.transferPort);
        channel->thread->setRecorderTransferPort(recorderTransferPort);
        connect(channel->thread.data(), &kvx::ReceiveUDPThread::requestCompleted, this,
                &RecorderDownloadManager::onCompletedRequest, Qt::QueuedConnection);
        connect(channel->thread.data(), &kvx::ReceiveUDPThread::requestFailed, this,
                &RecorderDownloadManager::onFailedRequest, Qt::QueuedConnection);
        channel->thread->start(QThread::TimeCriticalPriority);
    }
    linkChannels_.append(channel);
}

bool RecorderDownloadManager::hasLinkAddress(const QHostAddress& address) const
{
    bool isIPv4 = false;
    const quint32 ip = address.toIPv4Address(&isIPv4);
    if (!isIPv4)
        return false;
    for (const QSharedPointer<LinkChannel>& channel : linkChannels_) {
        if (channel->link->ethernet().address().toIPv4Address() == ip)
            return true;
    }
    return false;
}

void RecorderDownloadManager::processDatagram(QByteArrayView datagram)
{
    const std::optional<quint32> magic = kvx::peekMagic(datagram);
    if (!magic)
        return;
    switch (*magic) {
    case kvx::magic::ClipInfo:
        if (clipInfoProcessor_.process(datagram))
            clipList_.newClips(clipInfoProcessor_);
        break;
    case kvx::magic::OutputState:
        if (const auto state = OutputStatePacket::decode(datagram)) {
            outputState_ = *state;
            hasOutputState_ = true;
        }
        break;
    case kvx::magic::Parameter:
        processParameter(datagram);
        break;
    default:
        break;
    }
}

void RecorderDownloadManager::processParameter(QByteArrayView datagram)
{
    const std::optional<ParameterPacket> packet = ParameterPacket::decode(datagram);
    if (!packet || packet->form != ParameterPacket::PayloadFollows || packet->code != ParameterCode::ColourMatrices)
        return;
    const std::optional<ColorMatrixTable> table = ColorMatrixTable::decode(packet->payload);
    if (!table)
        return;
    colorMatrixValue_ = table->value;
    colorMatrices_ = table->records;
}
