#include "control/config/VideoFormat.h"

#include "common/packets/StatusPacket.h"

#include <QCoreApplication>

namespace {

// Whole rates of the frequency codes; 6 is a second code for 24 Hz.
int wholeRate(int code)
{
    switch (code) {
    case 5:
        return 60;
    case 4:
        return 50;
    case 3:
        return 30;
    case 2:
        return 25;
    case 1:
    case 6:
        return 24;
    default:
        return 0;
    }
}

QString lockText(bool locked)
{
    return locked ? QCoreApplication::translate("GenlockStatus", "Locked")
                  : QCoreApplication::translate("GenlockStatus", "Not Locked");
}

} // namespace

VideoFormat VideoFormat::fromByte(quint8 byte)
{
    return {(byte >> 1) & 0x0F, byte >> 5, (byte & 1) != 0};
}

quint8 VideoFormat::byte() const
{
    return quint8((fractional ? 1 : 0) | (resolution & 0x0F) << 1 | (frequency & 0x07) << 5);
}

bool VideoFormat::isComplete() const
{
    return !resolutionText(resolution).isEmpty() && wholeRate(frequency) != 0;
}

QString VideoFormat::resolutionText(int code)
{
    switch (code) {
    case 9:
        return QStringLiteral("2160p");
    case 8:
        return QStringLiteral("1080p");
    case 7:
        return QStringLiteral("1080i");
    case 6:
        return QStringLiteral("720p");
    case 5:
        return QStringLiteral("720i");
    default:
        return {};
    }
}

QString VideoFormat::frequencyText(int code, bool fractional)
{
    const int rate = wholeRate(code);
    if (rate == 0)
        return {};
    if (!fractional)
        return QStringLiteral("%1 Hz").arg(rate);
    return QStringLiteral("%1 Hz").arg(rate / 1.001, 0, 'f', 3);
}

GenlockConfig GenlockConfig::fromWord(quint64 word)
{
    return {VideoFormat::fromByte(quint8(word)), (word & OptionBit) != 0};
}

quint64 GenlockConfig::word() const
{
    return format.byte() | (option ? OptionBit : 0);
}

QString genlockStatusText(const StatusPacket& status)
{
    const VideoFormat detected = VideoFormat::fromByte(status.genlockFormat);
    const QString input = detected.resolution == 0
        ? QCoreApplication::translate("GenlockStatus", "Not Detected")
        : QStringLiteral("%1 %2 (%3)")
              .arg(VideoFormat::resolutionText(detected.resolution),
                   VideoFormat::frequencyText(detected.frequency, detected.fractional),
                   lockText(status.has(StatusPacket::GenlockLocked)));
    return QStringLiteral("<p align=center><font color=white><b>%1</b><br/>%2<br/>%3</font></p>")
        .arg(QCoreApplication::translate("GenlockStatus", "Detected Genlock"), input,
             QCoreApplication::translate("GenlockStatus", "Oscillator: ")
                 + lockText(status.has(StatusPacket::OscillatorLocked)));
}
