#include "control/commands/CommandText.h"

namespace RecorderCommand {

QString greeting(const QString& address, quint16 port)
{
    return QStringLiteral("#sh %1 %2$$").arg(address).arg(port);
}

QString shutter(double microseconds)
{
    return QStringLiteral("#st%1$").arg(microseconds, 0, 'f', 2);
}

QString selectClip(int index)
{
    return QStringLiteral("#sl%1$").arg(index);
}

QString rate(double signedRate)
{
    return QStringLiteral("#sr%1$").arg(signedRate, 0, 'f', 5);
}

std::optional<QString> seek(int value, quint64 frames)
{
    if (frames < 2 || value < 0)
        return std::nullopt;
    return QStringLiteral("#sp%1$").arg(quint64(value) * 100 / (frames - 1));
}

} // namespace RecorderCommand
