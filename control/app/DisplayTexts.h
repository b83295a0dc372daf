#pragma once

#include <QString>

#include <optional>

#include "common/packets/ClipInfoPacket.h"

struct UdpRecInfo;
namespace kvx {
struct RecorderInfoPacket;
}

// Texts the main window shows about the recorders, made without a widget.
namespace DisplayTexts {

// Free space as a share of the capacity, to a tenth of a percent rounded down: "12.3%"; "0.0%"
// for a capacity of 0.
QString freeDisk(quint64 free, quint64 capacity);
// "model (serial)" with one recorder open, "n. model (serial)" (n from 1) with several.
QString recorderName(const kvx::RecorderInfoPacket& info, int linkIndex, int openCount);
// A discovered recorder in the list (rich text): device name, camera, model, address (in red
// with "(!!!)" when it is not on the subnet of the adapter that found it) and link speed.
// cameraCaption is the translated word for "Camera".
QString recorderLabel(const UdpRecInfo& record, const QString& cameraCaption);

// The clips bar's description of a clip (rich text): camera, size and rate, images and time
// (seconds to 6 significant digits);
// headed by a red warning when the clip's camera and the recorder's are both known and differ.
QString clipInfo(const kvx::ClipInfoPacket::clipInfo& clip, quint32 recorderCameraSerial);
// A control's caption in bold, in the colour given (the panel's blue by default), over its value.
QString captionOver(const QString& caption, const QString& value, const QString& colour = QStringLiteral("#4B96C8"));
// What the clips bar shows when the recorder holds no clips (rich text).
QString noClips();

} // namespace DisplayTexts
