#pragma once

#include <QDateTime>
#include <QString>

// Names inside a clip folder.
namespace clipfolder {

inline const QString ClipXml = QStringLiteral("clip.xml");
inline const QString RenderInfoXml = QStringLiteral("renderInfo.xml");
inline const QString PaintXml = QStringLiteral("paint.xml");
inline const QString ColorMatricesXml = QStringLiteral("ColorMatrices.xml");
inline const QString CalibrationFile = QStringLiteral("calib.bin");
inline const QString FrameFile = QStringLiteral("0.bin");
inline const QString Thumbnail = QStringLiteral("thumb.tif");

// A folder holds a clip when its calibration, description and render state files all exist.
bool isClipFolder(const QString& path);

// The name of a new clip folder: the local time the download starts, e.g. 2019-03-07_14.05.09.
QString folderNameFor(const QDateTime& start);

// Creates base/name (with missing parents). When that folder already exists (two downloads
// started within one second) "-2", "-3", ... is appended, so a new download never writes into
// the files of another. Empty on failure.
QString createFolder(const QString& base, const QString& name);

} // namespace clipfolder
