#pragma once

#include <QList>
#include <QSet>
#include <QString>

// The export's file types, their codec tables and the FFmpeg argument templates, with what an
// installed FFmpeg and a clip's size and rate allow.
namespace exportfmt {

enum FileType { Tiff = 1, Png, Jpeg, Dpx, Avi, Mov, Mp4, Mpg };
constexpr int kFirstType = Tiff;
constexpr int kLastType = Mpg;

struct CodecRow {
    const char* codec;
    const char* description;
    const char* pixelFormat;
};

bool isValidType(int type);
bool isMovie(int type);
// Uncompressed image files, whose size is known before the export.
bool isUncompressedImage(int type);
QString typeText(int type);
QString extension(int type);
const QList<CodecRow>& codecRows(int type);

// The template of the type filled in. Empty when the type has codec rows and codecIndex names
// none of them.
QString ffmpegArguments(int type, int width, int height, int fps, int codecIndex);

// The file FFmpeg writes: "<folder>/<prefix>%06d.<ext>" for image sequences (numbered from 0),
// "<folder>/<prefix>.<ext>" for movies. A "%" of the folder or prefix reaches FFmpeg as "%%"
// where FFmpeg reads the name as a pattern.
QString outputFile(int type, const QString& folder, const QString& prefix);

// Why the row cannot encode a width x height clip at fps with the installed FFmpeg, whose
// encoders and encodable codec names are given; empty when it can.
QString codecRowProblem(const CodecRow& row, int width, int height, int fps, const QSet<QString>& encoders);

// Why an export of frames pictures of width x height cannot go into folder: missing, not
// writable, or too little free space for the uncompressed image types; empty when it can.
QString outputFolderProblem(int type, const QString& folder, qint64 frames, int width, int height);

// The "Output fps" text as a rate of at least 1; 0 when it is no such number.
int parseFps(const QString& text);

} // namespace exportfmt
