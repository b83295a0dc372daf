#pragma once

#include <QString>

#include <optional>

// The ASCII commands a recorder takes: "#", two letters, at most one argument, "$". Numbers
// are written in the C locale without separators or padding.
namespace RecorderCommand {

inline const QString StartStopRecording = QStringLiteral("#ss$");
inline const QString SwapSdiOutputs = QStringLiteral("#sc$");
inline const QString DeleteLatestClip = QStringLiteral("#cd$");
inline const QString DeleteAllClips = QStringLiteral("#cf$");
inline const QString FirstFrame = QStringLiteral("#sp0$");
inline const QString LatestFrame = QStringLiteral("#sp99.999$");
inline const QString PreviousFrame = QStringLiteral("#sf99$");
inline const QString NextFrame = QStringLiteral("#sf101$");
inline const QString Pause = QStringLiteral("#su$");
inline const QString StopPlayback = QStringLiteral("#sr0$");

// Tells the recorder where to send its packets; the only command closing with "$$".
QString greeting(const QString& address, quint16 port);
// Shutter time in microseconds, 2 decimals.
QString shutter(double microseconds);
QString selectClip(int index);
// Signed playback rate, 5 decimals; negative plays backwards.
QString rate(double signedRate);
// The position of frame value of a clip of frames frames, in whole percent; nothing for a clip
// of fewer than two frames, where there is no percentage to give.
std::optional<QString> seek(int value, quint64 frames);

} // namespace RecorderCommand
