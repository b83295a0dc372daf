#pragma once

#include "common/catalogue/ClipSegment.h"
#include "common/packets/ClipInfoPacket.h"

#include <QList>
#include <QString>

#include <optional>

class QFile;
class QIODevice;

// What "clip.xml" says about a clip folder.
struct ClipDescription {
    kvx::ClipInfoPacket::clipInfo info;
    bool downloadFinished = false;
    // Written after the original fields, so readers that know only those skip them. Absent in
    // folders written before they existed.
    std::optional<QList<ClipSegment>> presentFrames;
    std::optional<bool> calibrationStored;
};

namespace clipxml {

// The whole document: "ClipInfo" with "Camera_Serial", "Frames_Captured", "UID", "FPS",
// "Clip_Flags", "Camera_Flags", "Clip_ID", "Calibration_Type", "Download_Finished", then
// "Frame_Bytes", "Present_Frames" and "Calibration_Stored".
bool write(QIODevice* out, const ClipDescription& description);

// Reopens the file read-only and takes every field it holds. Fields the file lacks, or holds in
// a form that does not fit them, keep their value; fields read before a syntax error stay taken.
// False when the file cannot be opened or is malformed.
bool read(QFile* file, ClipDescription& description);

// Frame ranges as text: "0-9,20-99"; empty for none.
QString rangesText(const QList<ClipSegment>& ranges);
// The well-formed ranges of such a text; malformed pieces are left out.
QList<ClipSegment> parseRanges(const QString& text);

} // namespace clipxml
