#pragma once

#include <QSet>
#include <QString>

// The installed FFmpeg: where it is and which encoders it has.
namespace ffmpegtool {

// "ffmpeg" beside the running program first, then on the search path; empty when neither has
// one. A folder given replaces the running program's folder.
QString findProgram(const QString& programFolder = {});

// The names "-vcodec" accepts in the program's "-encoders" list: each encoder's own name and
// the codec it encodes ("libx264" and "h264"). Read once per program and kept; empty when the
// program cannot be run.
QSet<QString> encoders(const QString& program);

// The same from the text of "ffmpeg -encoders".
QSet<QString> parseEncoders(const QString& listing);

} // namespace ffmpegtool
