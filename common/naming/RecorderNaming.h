#pragma once

#include <QString>

#include <array>

// Text forms derived from recorder information, identical in both programs.

QString modelName(qint16 model);
QString serialText(quint32 n);
QString deviceName(quint32 n);
// "VLMV-a-b" -> a * 10000 + b; false for anything else.
bool parseDeviceName(const QString& text, quint32* serial);
QString bcdDateText(quint32 date);
QString ipText(const std::array<quint8, 4>& ip);
QString macText(const std::array<quint8, 6>& mac);
int modelFrameLimit(qint16 model);
