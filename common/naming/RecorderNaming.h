#pragma once

#include <QString>

#include <array>
#include <optional>

// Text forms derived from recorder information, identical in both programs.

QString modelName(qint16 model);
QString serialText(quint32 n);
QString deviceName(quint32 n);
// "VLMV-a-b" -> a * 10000 + b, each part of 1 to 4 digits; false for anything else.
bool parseDeviceName(const QString& text, quint32* serial);
QString bcdDateText(quint32 date);
QString ipText(const std::array<quint8, 4>& ip);
// The inverse of ipText: exactly four decimal numbers of 0 to 255 separated by dots, nothing
// else (no shorthand such as "10.1", no spaces, no IPv6), as QHostAddress::toIPv4Address gives it.
std::optional<quint32> parseIpText(const QString& text);
QString macText(const std::array<quint8, 6>& mac);
int modelFrameLimit(qint16 model);
