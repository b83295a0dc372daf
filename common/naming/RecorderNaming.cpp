#include "common/naming/RecorderNaming.h"

#include <QRegularExpression>

QString modelName(qint16 model)
{
    switch (model) {
    case 0:
        return QStringLiteral("VLM HD");
    case 1:
        return QStringLiteral("VLM UHD");
    default:
        return QString();
    }
}

QString serialText(quint32 n)
{
    return QStringLiteral("%1-%2-%3")
        .arg(n / 100000000u, 2, 10, QLatin1Char('0'))
        .arg((n / 10000u) % 10000u, 4, 10, QLatin1Char('0'))
        .arg(n % 10000u, 4, 10, QLatin1Char('0'));
}

QString deviceName(quint32 n)
{
    return QStringLiteral("VLMV-%1-%2")
        .arg((n / 10000u) % 10000u, 4, 10, QLatin1Char('0'))
        .arg(n % 10000u, 4, 10, QLatin1Char('0'));
}

bool parseDeviceName(const QString& text, quint32* serial)
{
    static const QRegularExpression pattern(QStringLiteral("^VLMV-([0-9]{1,4})-([0-9]{1,4})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch() || match.lastCapturedIndex() != 2)
        return false;
    bool okA = false;
    bool okB = false;
    const uint a = match.captured(1).toUInt(&okA, 10);
    const uint b = match.captured(2).toUInt(&okB, 10);
    if (!okA || !okB)
        return false;
    if (serial)
        *serial = a * 10000u + b;
    return true;
}

QString bcdDateText(quint32 date)
{
    return QStringLiteral("%1-%2-%3")
        .arg(date >> 16, 4, 16, QLatin1Char('0'))
        .arg((date >> 8) & 0xFFu, 2, 16, QLatin1Char('0'))
        .arg(date & 0xFFu, 2, 16, QLatin1Char('0'));
}

QString ipText(const std::array<quint8, 4>& ip)
{
    return QStringLiteral("%1.%2.%3.%4").arg(ip[0]).arg(ip[1]).arg(ip[2]).arg(ip[3]);
}

std::optional<quint32> parseIpText(const QString& text)
{
    static const QRegularExpression dotted(
        QStringLiteral("^([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})$"));
    const QRegularExpressionMatch match = dotted.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    quint32 address = 0;
    for (int part = 1; part <= 4; ++part) {
        const uint value = match.captured(part).toUInt();
        if (value > 255)
            return std::nullopt;
        address = address << 8 | value;
    }
    return address;
}

QString macText(const std::array<quint8, 6>& mac)
{
    QString text;
    for (size_t i = 0; i < mac.size(); ++i) {
        if (i)
            text += QLatin1Char(':');
        text += QStringLiteral("%1").arg(mac[i], 2, 16, QLatin1Char('0'));
    }
    return text;
}

int modelFrameLimit(qint16 model)
{
    switch (model) {
    case 0:
        return 1740;
    case 1:
        return 480;
    default:
        return 0;
    }
}
