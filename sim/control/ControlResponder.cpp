#include "sim/control/ControlResponder.h"

#include "common/packets/IpChangeDatagram.h"
#include "common/packets/PacketMagic.h"
#include "common/packets/ParameterCodes.h"
#include "common/packets/ParameterPacket.h"
#include "sim/control/AsciiCommand.h"
#include "sim/control/RecorderParameters.h"

#include <QLoggingCategory>
#include <QtNumeric>

#include <cmath>

Q_LOGGING_CATEGORY(lcSimControl, "vlm.sim.control")

namespace {

QByteArray replyPacket(quint8 code, const QByteArray& payload)
{
    return ParameterPacket{code, ParameterPacket::PayloadFollows, ParameterPacket::Reply, quint32(payload.size()),
                           payload}
        .encode();
}

quint64 clipBytes(const kvx::ClipInfoPacket::clipInfo& clip)
{
    const quint64 frameSize = clip.flags & kvx::ClipInfoPacket::clipInfo::ExplicitFrameBytesFlag
        ? clip.frameBytes
        : quint64(clip.lineBytes) * clip.lineCount;
    quint64 bytes = 0;
    if (qMulOverflow(frameSize, clip.totalFrames, &bytes))
        return std::numeric_limits<quint64>::max();
    return bytes;
}

} // namespace

ControlResponder::ControlResponder(ClipStoreAccess& clips, const kvx::RecorderInfoPacket& info,
                                   ControlResponderOptions options, SimClock clock, QObject* parent)
    : QObject(parent), clips_(clips), info_(info), options_(options), clock_(std::move(clock)),
      firmware_(clock_, options.firmwareWriteMs, options.firmwareFaults), lastAdvanceMs_(clock_())
{
    BasicInfoBlock& block = state_.basicInfo;
    block.serialNumber = info.serialNumber();
    block.firmwareVersion = 0x20240105;
    block.recorderVersion = 0x00010200;
    block.boardVersion = 3;
    block.diskCount = 2;
    block.ip10G0 = info.ethernet.ip;
    block.setName(QStringLiteral("Velmor %1").arg(info.serialNumber()));
}

QList<SimDatagram> ControlResponder::handle(QByteArrayView datagram, const QHostAddress& from, quint16 fromPort)
{
    if (!datagram.isEmpty() && datagram.front() == '#')
        return handleAscii(datagram);
    if (kvx::peekMagic(datagram) == kvx::magic::Parameter)
        return handleParameter(datagram, from, fromPort);
    qCDebug(lcSimControl, "Ignored a datagram of %lld bytes from %s", qlonglong(datagram.size()),
            qPrintable(from.toString()));
    return {};
}

QList<SimDatagram> ControlResponder::periodic()
{
    catchUpPlayback();
    const bool withInfo = options_.periodsPerInfo > 0 && ++periods_ % options_.periodsPerInfo == 0;
    const QByteArray status = currentStatus().encode();
    QList<SimDatagram> out;
    for (const Subscriber& s : subscribers_) {
        out.append({status, s.address, s.port});
        if (withInfo) {
            out.append({info_.encode(), s.address, s.port});
            out.append({state_.outputState.encode(), s.address, s.port});
        }
    }
    return out;
}

StatusPacket ControlResponder::currentStatus()
{
    catchUpPlayback();
    return state_.statusPacket(selectedClipFrames(), diskFree());
}

QList<SimDatagram> ControlResponder::handleAscii(QByteArrayView datagram)
{
    const auto command = AsciiCommand::parse(datagram);
    if (!command) {
        qCDebug(lcSimControl, "Ignored malformed command of %lld bytes", qlonglong(datagram.size()));
        return {};
    }
    if (command->name == "sh")
        return subscribe(*command);
    catchUpPlayback();
    if (!applyRecorderCommand(*command))
        qCDebug(lcSimControl, "Ignored command \"%s\"", datagram.toByteArray().constData());
    return {};
}

QList<SimDatagram> ControlResponder::subscribe(const AsciiCommand& command)
{
    const QList<QByteArray> parts = command.argument.simplified().split(' ');
    bool portOk = false;
    const quint16 port = parts.size() == 2 ? parts[1].toUShort(&portOk) : 0;
    const QHostAddress address(QString::fromLatin1(parts.value(0)));
    if (!portOk || port == 0 || address.isNull()) {
        qCDebug(lcSimControl, "Ignored subscription \"%s\"", command.argument.constData());
        return {};
    }
    const Subscriber subscriber{address, port};
    if (!subscribers_.contains(subscriber)) {
        if (subscribers_.size() >= MaxSubscribers)
            subscribers_.removeFirst(); // the oldest has most likely gone away
        subscribers_.append(subscriber);
    }
    emit subscriberAdded(address, port);
    return {{currentStatus().encode(), address, port},
            {info_.encode(), address, port},
            {state_.outputState.encode(), address, port}};
}

bool ControlResponder::applyRecorderCommand(const AsciiCommand& command)
{
    const QByteArray& name = command.name;
    if (name == "ss") {
        toggleRecording();
    } else if (name == "sl") {
        const auto index = command.integer();
        if (!index || *index < 0 || *index >= clips_.clipCount())
            return false;
        state_.playback.select(*index);
    } else if (name == "cd") {
        deleteLatestClip();
    } else if (name == "cf") {
        clips_.deleteAllClips();
        state_.playback.deselect();
    } else if (name == "sp") {
        const auto percent = command.number();
        if (!percent)
            return false;
        state_.playback.seekPercent(*percent, selectedClipFrames());
    } else if (name == "sf") {
        // The argument is 100 plus the number of frames to move: 99 back, 101 forward.
        const auto argument = command.integer();
        if (!argument)
            return false;
        state_.playback.step(qint64(*argument) - 100, selectedClipFrames());
    } else if (name == "sr") {
        const auto rate = command.number();
        if (!rate)
            return false;
        state_.playback.setRate(*rate);
    } else if (name == "su") {
        state_.playback.pause();
    } else if (name == "sc") {
        state_.sdiOutputsSwapped = !state_.sdiOutputsSwapped;
    } else if (name == "st") {
        const auto shutter = command.number();
        if (!shutter || *shutter <= 0.0)
            return false;
        state_.shutterTime = *shutter;
    } else {
        return false;
    }
    return true;
}

void ControlResponder::toggleRecording()
{
    const qint64 now = clock_();
    if (!state_.recording) {
        state_.recording = true;
        state_.recordingSinceMs = now;
        return;
    }
    state_.recording = false;
    const double frames = std::round(double(now - state_.recordingSinceMs) * state_.frameRate / 1000.0);
    clips_.addRecordedClip(quint64(qMax(1.0, frames)));
}

void ControlResponder::deleteLatestClip()
{
    const int count = clips_.clipCount();
    if (count == 0 || !clips_.deleteClip(count - 1))
        return;
    if (state_.playback.selectedClip() >= clips_.clipCount())
        state_.playback.deselect();
}

QList<SimDatagram> ControlResponder::handleParameter(QByteArrayView datagram, const QHostAddress& from,
                                                     quint16 fromPort)
{
    const kvx::wire::Reader head(datagram);
    if (head.u8(4) == ParameterCode::IpChange && head.u8(5) == ParameterPacket::PayloadFollows) {
        handleIpChange(datagram);
        return {};
    }
    const auto packet = ParameterPacket::decode(datagram);
    if (!packet || packet->form == ParameterPacket::PortAnnouncement)
        return {};
    switch (packet->operation) {
    case ParameterPacket::Query:
        return handleQuery(*packet, from, fromPort);
    case ParameterPacket::Set:
        return handleSet(*packet, from, fromPort);
    default:
        qCDebug(lcSimControl, "Ignored parameter packet with operation %d", packet->operation);
        return {};
    }
}

void ControlResponder::handleIpChange(QByteArrayView datagram)
{
    const auto change = IpChangeDatagram::decode(datagram);
    if (!change)
        return;
    if (change->recorderId != info_.recorderId) {
        qCDebug(lcSimControl, "IP change for recorder %llx is not for this one", change->recorderId);
        return;
    }
    info_.ethernet.setAddress(change->address());
    state_.basicInfo.ip10G0 = info_.ethernet.ip;
    emit addressChanged(change->address());
}

QList<SimDatagram> ControlResponder::handleQuery(const ParameterPacket& packet, const QHostAddress& from,
                                                 quint16 fromPort)
{
    if (packet.code == ParameterCode::PaintOptions)
        return {};
    if (packet.code == ParameterCode::Information)
        return {{replyPacket(packet.code, info_.encode()), from, fromPort}};
    const auto value = RecorderParameters::queryValue(state_, packet.code);
    if (!value) {
        if (packet.code != ParameterCode::ColourMatrices)
            qCDebug(lcSimControl, "No answer to a query of code %d", packet.code);
        return {};
    }
    return {{replyPacket(packet.code, *value), from, fromPort}};
}

QList<SimDatagram> ControlResponder::handleSet(const ParameterPacket& packet, const QHostAddress& from,
                                               quint16 fromPort)
{
    if (packet.form == ParameterPacket::PayloadFollows && packet.code == ParameterCode::FirmwareCommand) {
        const auto status = firmware_.handle(packet.payload);
        if (!status)
            return {};
        return {{replyPacket(ParameterCode::FirmwareStatus, status->encode()), from, fromPort}};
    }
    if (packet.form == ParameterPacket::PayloadFollows && packet.code == ParameterCode::ControlWord
        && packet.payload.size() >= 8 && (kvx::wire::Reader(packet.payload).u64(0) & ControlWord::CloseLinks)) {
        // The control program is closing its link: stop sending to it.
        subscribers_.removeAll(Subscriber{from, fromPort});
    }
    catchUpPlayback();
    if (RecorderParameters::applySet(state_, packet) == RecorderParameters::SetResult::PaintChanged)
        return toAllSubscribers(state_.outputState.encode());
    return {};
}

QList<SimDatagram> ControlResponder::toAllSubscribers(const QByteArray& bytes) const
{
    QList<SimDatagram> out;
    for (const Subscriber& s : subscribers_)
        out.append({bytes, s.address, s.port});
    return out;
}

quint64 ControlResponder::selectedClipFrames()
{
    const int selected = state_.playback.selectedClip();
    if (selected < 0)
        return 0;
    if (selected >= clips_.clipCount()) {
        state_.playback.deselect(); // the clip went away underneath
        return 0;
    }
    return clips_.clipAt(selected).totalFrames;
}

quint64 ControlResponder::diskFree() const
{
    quint64 used = 0;
    for (int i = 0; i < clips_.clipCount(); ++i) {
        if (qAddOverflow(used, clipBytes(clips_.clipAt(i)), &used))
            return 0;
    }
    return used >= state_.diskCapacity ? 0 : state_.diskCapacity - used;
}

void ControlResponder::catchUpPlayback()
{
    const qint64 now = clock_();
    state_.playback.advance(now - lastAdvanceMs_, selectedClipFrames());
    lastAdvanceMs_ = now;
}
