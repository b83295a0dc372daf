#include "sim/control/FirmwareResponder.h"

#include "common/packets/FirmwareChecksum.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcSimFirmware, "vlm.sim.firmware")

using kvx::FirmwareProgramCommand;
using kvx::FirmwareProgramStatus;

namespace {
// A write that has begun reports at least this much, so that the programmer can tell it began.
constexpr float StartedProgress = 0.001f;
} // namespace

FirmwareResponder::FirmwareResponder(SimClock clock, qint64 writeDurationMs, FirmwareFaults faults)
    : clock_(std::move(clock)), writeDurationMs_(writeDurationMs), faults_(faults), random_(faults.seed)
{}

void FirmwareResponder::setFaults(const FirmwareFaults& faults)
{
    faults_ = faults;
    random_.seed(faults.seed);
}

std::optional<FirmwareProgramStatus> FirmwareResponder::handle(QByteArrayView payload)
{
    const auto decoded = FirmwareProgramCommand::decode(payload);
    if (!decoded)
        return std::nullopt;
    const FirmwareProgramCommand& c = decoded->command;
    switch (c.command) {
    case FirmwareProgramCommand::InitUpload:
        reset();
        return status();
    case FirmwareProgramCommand::FirstData:
    case FirmwareProgramCommand::Data:
        storeData(c, decoded->data);
        return std::nullopt;
    case FirmwareProgramCommand::ReportStatus:
        return status();
    case FirmwareProgramCommand::Checksum:
        checksumRange(c.address, c.length);
        return status();
    case FirmwareProgramCommand::WriteFlash:
        startWrite(c.length);
        return status();
    default:
        qCDebug(lcSimFirmware, "Ignored firmware command %d", c.command);
        return std::nullopt;
    }
}

void FirmwareResponder::reset()
{
    image_.clear();
    received_.clear();
    firstMissing_ = 0;
    checksum_ = 0;
    checksumStart_ = 0;
    checksumLength_ = 0;
    writeStartMs_.reset();
    writeLength_ = 0;
    writeDone_ = false;
}

void FirmwareResponder::growImage(qsizetype size)
{
    if (image_.size() < size)
        image_.append(QByteArray(size - image_.size(), '\0'));
}

void FirmwareResponder::storeData(const FirmwareProgramCommand& c, const QByteArray& data)
{
    if (c.length == 0 || c.length > FirmwareProgramCommand::MaxDataLength || c.packetIndex >= MaxPackets
        || quint64(c.address) + c.length > quint64(ImageCapacity)) {
        qCDebug(lcSimFirmware, "Ignored data packet %u: %u bytes at 0x%x", c.packetIndex, c.length, c.address);
        return;
    }
    if (faults_.dropDataPercent > 0 && int(random_.bounded(100)) < faults_.dropDataPercent) {
        ++droppedPackets_;
        return;
    }
    growImage(qsizetype(c.address) + c.length);
    std::copy(data.begin(), data.end(), image_.begin() + c.address);
    if (faults_.corruptOffset && *faults_.corruptOffset >= c.address && *faults_.corruptOffset - c.address < c.length)
        image_[*faults_.corruptOffset] = char(image_[*faults_.corruptOffset] ^ 0x01);

    if (received_.size() <= c.packetIndex)
        received_.resize(c.packetIndex + 1, false);
    received_[c.packetIndex] = true;
    while (firstMissing_ < received_.size() && received_[firstMissing_])
        ++firstMissing_;
}

void FirmwareResponder::checksumRange(quint32 start, quint32 length)
{
    if (quint64(start) + length > quint64(ImageCapacity)) {
        qCDebug(lcSimFirmware, "Ignored checksum of %u bytes at 0x%x", length, start);
        return;
    }
    growImage(qsizetype(start) + length);
    checksum_ = kvx::firmwareChecksum(QByteArrayView(image_).sliced(start, length));
    checksumStart_ = start;
    checksumLength_ = length;
}

void FirmwareResponder::startWrite(quint32 length)
{
    if (faults_.neverStartWriting || writeStartMs_)
        return; // a repeated request must not restart a write in progress
    writeStartMs_ = clock_();
    writeLength_ = quint32(qMin<quint64>(length, quint64(ImageCapacity)));
    writeDone_ = false;
}

float FirmwareResponder::writeProgress()
{
    if (!writeStartMs_)
        return 0.0f;
    if (writeDone_)
        return 1.0f;
    const qint64 elapsed = clock_() - *writeStartMs_;
    if (elapsed >= writeDurationMs_) {
        growImage(writeLength_);
        flash_ = image_.left(writeLength_);
        writeDone_ = true;
        return 1.0f;
    }
    return qMax(StartedProgress, float(double(elapsed) / double(writeDurationMs_)));
}

FirmwareProgramStatus FirmwareResponder::status()
{
    FirmwareProgramStatus s;
    s.checksum = checksum_;
    s.progress = writeProgress();
    s.rangeStart = checksumStart_;
    s.rangeLength = checksumLength_;
    // The field is 16 bits wide; larger images wrap as they would on the device.
    s.missingPacket = quint16(firstMissing_);
    return s;
}
