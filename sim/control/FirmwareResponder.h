#pragma once

#include "common/packets/FirmwarePackets.h"
#include "sim/control/FirmwareFaults.h"
#include "sim/control/SimClock.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QRandomGenerator>

#include <optional>
#include <vector>

// The recorder's side of firmware programming: it collects the numbered data packets of an
// image, reports the first packet it still lacks, checksums the ranges it is asked about, and
// writes the image to flash with a progress that rises to 1.0 over a set time.
class FirmwareResponder {
public:
    static constexpr qsizetype ImageCapacity = 0x2000000; // 32 MiB
    static constexpr quint32 MaxPackets = ImageCapacity / kvx::FirmwareProgramCommand::MaxDataLength;

    explicit FirmwareResponder(SimClock clock, qint64 writeDurationMs = 3000, FirmwareFaults faults = {});

    // Takes the payload of a code 13 packet; returns the status to answer with for the commands
    // that ask for one (initialise, report status, checksum, write). Malformed or unknown
    // commands and data outside the image are ignored with a debug line.
    std::optional<kvx::FirmwareProgramStatus> handle(QByteArrayView payload);

    kvx::FirmwareProgramStatus status();
    // The image as received so far (packets not yet received read as zero).
    const QByteArray& image() const { return image_; }
    // What the last completed flash write stored.
    const QByteArray& flash() const { return flash_; }
    bool writing() const { return writeStartMs_ && !writeDone_ && clock_() - *writeStartMs_ < writeDurationMs_; }
    int droppedPackets() const { return droppedPackets_; }

    void setFaults(const FirmwareFaults& faults);
    void setWriteDurationMs(qint64 ms) { writeDurationMs_ = ms; }

private:
    void reset();
    void storeData(const kvx::FirmwareProgramCommand& command, const QByteArray& data);
    void checksumRange(quint32 start, quint32 length);
    void startWrite(quint32 length);
    float writeProgress();
    void growImage(qsizetype size);

    SimClock clock_;
    qint64 writeDurationMs_;
    FirmwareFaults faults_;
    QRandomGenerator random_;

    QByteArray image_;
    std::vector<bool> received_;
    quint32 firstMissing_ = 0;
    int droppedPackets_ = 0;
    quint64 checksum_ = 0;
    quint32 checksumStart_ = 0;
    quint32 checksumLength_ = 0;
    std::optional<qint64> writeStartMs_;
    quint32 writeLength_ = 0;
    bool writeDone_ = false;
    QByteArray flash_;
};
