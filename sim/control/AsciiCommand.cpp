#include "sim/control/AsciiCommand.h"

#include <cctype>
#include <cmath>

std::optional<AsciiCommand> AsciiCommand::parse(QByteArrayView datagram)
{
    if (datagram.size() < 4 || datagram.size() > MaxLength || datagram.front() != '#' || datagram.back() != '$')
        return std::nullopt;
    for (char c : datagram) {
        if (c < 0x20 || c > 0x7E)
            return std::nullopt;
    }
    qsizetype end = datagram.size() - 1;
    if (end > 3 && datagram[end - 1] == '$')
        --end;
    const QByteArrayView name = datagram.sliced(1, 2);
    if (!std::isalpha(uchar(name[0])) || !std::isalpha(uchar(name[1])))
        return std::nullopt;
    return AsciiCommand{name.toByteArray(), datagram.sliced(3, end - 3).toByteArray()};
}

std::optional<double> AsciiCommand::number() const
{
    bool ok = false;
    const double value = argument.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> AsciiCommand::integer() const
{
    bool ok = false;
    const int value = argument.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}
