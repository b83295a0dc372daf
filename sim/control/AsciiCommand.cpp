#include "sim/control/AsciiCommand.h"

#include <cctype>
#include <cmath>

namespace {

std::optional<AsciiCommand> refuse(QByteArray* why, const char* reason)
{
    if (why)
        *why = reason;
    return std::nullopt;
}

} // namespace

std::optional<AsciiCommand> AsciiCommand::parse(QByteArrayView datagram, QByteArray* why)
{
    if (datagram.size() < 4 || datagram.size() > MaxLength)
        return refuse(why, "length");
    if (datagram.front() != '#' || datagram.back() != '$')
        return refuse(why, "not framed by # and $");
    for (char c : datagram) {
        if (c < 0x20 || c > 0x7E)
            return refuse(why, "not printable ASCII");
    }
    const QByteArrayView name = datagram.sliced(1, 2);
    if (!std::isalpha(uchar(name[0])) || !std::isalpha(uchar(name[1])))
        return refuse(why, "no command name");
    const bool greeting = name == QByteArrayView(GreetingName);
    const qsizetype closing = greeting ? 2 : 1;
    if (datagram.size() < 3 + closing || (greeting && datagram[datagram.size() - 2] != '$'))
        return refuse(why, "greeting without $$");
    const QByteArrayView argument = datagram.sliced(3, datagram.size() - 3 - closing);
    if (argument.contains('$'))
        return refuse(why, greeting ? "greeting with more than $$" : "$ inside the command");
    return AsciiCommand{name.toByteArray(), argument.toByteArray()};
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
