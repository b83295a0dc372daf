#include "sim/control/ControlResponder.h"

#include "common/naming/RecorderNaming.h"
#include "common/packets/FirmwarePackets.h"
#include "common/packets/IpChangeDatagram.h"
#include "common/packets/PacketMagic.h"
#include "common/packets/ParameterCodes.h"
#include "common/packets/ParameterPacket.h"
#include "common/packets/TypedParameter.h"
#include "sim/control/AsciiCommand.h"
#include "sim/control/RecorderParameters.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QtNumeric>

#include <algorithm>
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
        return handleAscii(datagram, from, fromPort);
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

QList<SimDatagram> ControlResponder::refuse(const QByteArray& reason)
{
    qCDebug(lcSimControl, "Refused: %s", reason.constData());
    emit refused(reason);
    return {};
}

QList<SimDatagram> ControlResponder::handleAscii(QByteArrayView datagram, const QHostAddress& from, quint16 fromPort)
{
    QByteArray why;
    const auto command = AsciiCommand::parse(datagram, &why);
    if (!command)
        return refuse("malformed command: " + why);
    if (command->name == AsciiCommand::GreetingName)
        return subscribe(*command, from, fromPort);
    catchUpPlayback();
    if (!applyRecorderCommand(*command))
        qCDebug(lcSimControl, "Ignored command \"%s\"", datagram.toByteArray().constData());
    return {};
}

QList<SimDatagram> ControlResponder::subscribe(const AsciiCommand& command, const QHostAddress& from, quint16 fromPort)
{
    // Exactly " address port": one space before each, a dotted IPv4 address and a decimal port.
    static const QRegularExpression form(QStringLiteral("^ ([0-9.]+) ([0-9]{1,5})$"));
    const QRegularExpressionMatch match = form.match(QString::fromLatin1(command.argument));
    const quint32 address = match.hasMatch() ? parseIpText(match.captured(1)).value_or(0) : 0;
    const uint port = match.hasMatch() ? match.captured(2).toUInt() : 0;
    if (!match.hasMatch() || !parseIpText(match.captured(1)) || port == 0 || port > 0xFFFF)
        return refuse("malformed greeting: " + command.argument);
    const QHostAddress target(address);
    if (address == 0 || target == QHostAddress(QHostAddress::Broadcast) || broadcasts_.contains(target))
        return refuse("greeting names a broadcast or unspecified address: " + command.argument);

    const Subscriber subscriber{target, quint16(port), from, fromPort};
    const auto same = std::find_if(subscribers_.begin(), subscribers_.end(), [&](const Subscriber& s) {
        return s.address == subscriber.address && s.port == subscriber.port;
    });
    if (same != subscribers_.end()) {
        *same = subscriber; // the latest greeting owns the stream
    } else {
        if (subscribers_.size() >= MaxSubscribers)
            subscribers_.removeFirst(); // the oldest has most likely gone away
        subscribers_.append(subscriber);
    }
    emit subscriberAdded(target, quint16(port));
    return {{currentStatus().encode(), target, quint16(port)},
            {info_.encode(), target, quint16(port)},
            {state_.outputState.encode(), target, quint16(port)}};
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
        if (datagram.size() != IpChangeDatagram::Size)
            return refuse("IP change datagram of " + QByteArray::number(datagram.size()) + " bytes");
        handleIpChange(datagram);
        return {};
    }
    const auto packet = ParameterPacket::decode(datagram);
    if (!packet)
        return refuse("parameter packet shorter than it announces");
    if (packet->form == ParameterPacket::PortAnnouncement)
        return {};
    if (!lengthFits(*packet, datagram.size()))
        return {};
    switch (packet->operation) {
    case ParameterPacket::Query:
        return handleQuery(*packet, from, fromPort);
    case ParameterPacket::Set:
        return handleSet(*packet, from, fromPort);
    default:
        return refuse("parameter packet with operation " + QByteArray::number(packet->operation));
    }
}

// A program sends exactly the bytes its packet announces: a query is the bare head of form 1
// with word 0, a paint value the bare head of form 0, a typed value the head and as many payload
// bytes as its code carries.
bool ControlResponder::lengthFits(const ParameterPacket& packet, qsizetype datagramSize)
{
    const QByteArray code = QByteArray::number(packet.code);
    if (packet.operation == ParameterPacket::Query) {
        if (packet.form != ParameterPacket::PayloadFollows || packet.word != 0
            || datagramSize != ParameterPacket::HeadSize) {
            refuse("query of code " + code + " in form " + QByteArray::number(packet.form) + " with word "
                   + QByteArray::number(packet.word) + ", " + QByteArray::number(datagramSize) + " bytes");
            return false;
        }
        return true;
    }
    if (packet.form == ParameterPacket::ValueInWord) {
        if (datagramSize != ParameterPacket::HeadSize) {
            refuse("paint value of code " + code + " with " + QByteArray::number(datagramSize) + " bytes");
            return false;
        }
        return true;
    }
    if (packet.form != ParameterPacket::PayloadFollows) {
        refuse("parameter packet of form " + QByteArray::number(packet.form));
        return false;
    }
    if (datagramSize != ParameterPacket::HeadSize + packet.payload.size()) {
        refuse("typed value of code " + code + " with bytes after its payload");
        return false;
    }
    const auto expected = TypedParameter::payloadSize(packet.code);
    qsizetype wanted = expected.value_or(-1);
    if (!expected) {
        const auto command = kvx::FirmwareProgramCommand::decode(packet.payload);
        wanted = command
            ? kvx::FirmwareProgramCommand::Size + (command->command.hasData() ? command->command.length : 0)
            : -1;
    }
    if (packet.payload.size() != wanted) {
        refuse("typed value of code " + code + " with " + QByteArray::number(packet.payload.size()) + " payload bytes");
        return false;
    }
    return true;
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
    emit addressChangeRequested(change->address());
}

void ControlResponder::takeAddress(const QHostAddress& address)
{
    info_.ethernet.setAddress(address);
    state_.basicInfo.ip10G0 = info_.ethernet.ip;
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
        && (kvx::wire::Reader(packet.payload).u64(0) & ControlWord::CloseLinks)) {
        // The control program is closing its link: stop what it asked for, also a multicast
        // stream, whose target is the group and not the program.
        subscribers_.removeIf([&](const Subscriber& s) {
            return (s.owner == from && s.ownerPort == fromPort) || (s.address == from && s.port == fromPort);
        });
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
