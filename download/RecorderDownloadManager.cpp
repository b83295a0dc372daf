#include "download/RecorderDownloadManager.h"

#include "common/packets/PacketMagic.h"
#include "common/packets/ParameterPacket.h"

RecorderDownloadManager::RecorderDownloadManager() = default;

void RecorderDownloadManager::makeChannel(const QSharedPointer<EthernetView>& link)
{
    auto channel = QSharedPointer<LinkChannel>::create();
    channel->link = link;
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
        if (const auto state = OutputStatePacket::decode(datagram))
            outputState_ = *state;
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
    if (!packet || packet->form != ParameterPacket::PayloadFollows || packet->code != ColorMatrixTable::ParameterCode)
        return;
    const std::optional<ColorMatrixTable> table = ColorMatrixTable::decode(packet->payload);
    if (!table)
        return;
    colorMatrixValue_ = table->value;
    colorMatrices_.clear();
    for (const ColorMatrixTable::Descriptor& descriptor : table->descriptors) {
        if (const auto record = ColorMatrixRecord::decode(QByteArrayView(descriptor.data(), descriptor.size())))
            colorMatrices_.append(*record);
    }
}
