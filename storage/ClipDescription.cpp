#include "storage/ClipDescription.h"

#include "render/state/XmlTextElements.h"

#include <QDebug>
#include <QFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <charconv>
#include <cmath>
#include <limits>

namespace clipxml {

namespace {

// The shortest text that reads back as the same float.
QString floatText(float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

template <typename T>
bool parseUnsigned(const QString& text, T* out)
{
    bool ok = false;
    const qulonglong v = text.trimmed().toULongLong(&ok, 10);
    if (!ok || v > std::numeric_limits<T>::max())
        return false;
    *out = T(v);
    return true;
}

quint64 cameraFlags(const kvx::ClipInfoPacket::clipInfo& info)
{
    return quint64(info.width) | quint64(info.height) << 16 | quint64(info.lineBytes) << 32
        | quint64(info.lineCount) << 48;
}

bool apply(ClipDescription& d, const QString& name, const QString& text)
{
    kvx::ClipInfoPacket::clipInfo& info = d.info;
    if (name == QLatin1String("Camera_Serial")) {
        quint64 serial = 0;
        if (!parseUnsigned(text, &serial))
            return false;
        info.cameraSerial = quint32(serial);
        info.unnamed4 = quint32(serial >> 32);
    } else if (name == QLatin1String("Frames_Captured")) {
        return parseUnsigned(text, &info.totalFrames);
    } else if (name == QLatin1String("UID")) {
        return parseUnsigned(text, &info.clipUid);
    } else if (name == QLatin1String("FPS")) {
        bool ok = false;
        const float fps = text.trimmed().toFloat(&ok);
        if (!ok || !std::isfinite(fps))
            return false;
        info.fps = fps;
    } else if (name == QLatin1String("Clip_Flags")) {
        return parseUnsigned(text, &info.flags);
    } else if (name == QLatin1String("Camera_Flags")) {
        quint64 flags = 0;
        if (!parseUnsigned(text, &flags))
            return false;
        info.width = quint16(flags);
        info.height = quint16(flags >> 16);
        info.lineBytes = quint16(flags >> 32);
        info.lineCount = quint16(flags >> 48);
    } else if (name == QLatin1String("Clip_ID")) {
        return parseUnsigned(text, &info.clipNumber);
    } else if (name == QLatin1String("Calibration_Type")) {
        return parseUnsigned(text, &info.clipVersion);
    } else if (name == QLatin1String("Download_Finished")) {
        quint8 finished = 0;
        if (!parseUnsigned(text, &finished))
            return false;
        d.downloadFinished = finished != 0;
    } else if (name == QLatin1String("Frame_Bytes")) {
        return parseUnsigned(text, &info.frameBytes);
    } else if (name == QLatin1String("Present_Frames")) {
        d.presentFrames = parseRanges(text);
    } else if (name == QLatin1String("Calibration_Stored")) {
        quint8 stored = 0;
        if (!parseUnsigned(text, &stored))
            return false;
        d.calibrationStored = stored != 0;
    }
    return true;
}

} // namespace

bool write(QIODevice* out, const ClipDescription& d)
{
    const kvx::ClipInfoPacket::clipInfo& info = d.info;
    QXmlStreamWriter xml(out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("ClipInfo"));
    auto field = [&xml](const char* name, const QString& text) { xml.writeTextElement(QLatin1String(name), text); };
    field("Camera_Serial", QString::number(quint64(info.cameraSerial) | quint64(info.unnamed4) << 32));
    field("Frames_Captured", QString::number(info.totalFrames));
    field("UID", QString::number(info.clipUid));
    field("FPS", floatText(info.fps));
    field("Clip_Flags", QString::number(info.flags));
    field("Camera_Flags", QString::number(cameraFlags(info)));
    field("Clip_ID", QString::number(info.clipNumber));
    field("Calibration_Type", QString::number(info.clipVersion));
    field("Download_Finished", d.downloadFinished ? QStringLiteral("1") : QStringLiteral("0"));
    field("Frame_Bytes", QString::number(info.frameBytes));
    field("Present_Frames", rangesText(d.presentFrames.value_or(QList<ClipSegment>())));
    field("Calibration_Stored", d.calibrationStored.value_or(false) ? QStringLiteral("1") : QStringLiteral("0"));
    xml.writeEndElement();
    xml.writeEndDocument();
    return !xml.hasError();
}

bool read(QFile* file, ClipDescription& d)
{
    file->close();
    if (!file->open(QIODevice::ReadOnly)) {
        qDebug().noquote() << QStringLiteral("Failed to open XML file %1").arg(file->fileName());
        return false;
    }
    QXmlStreamReader xml(file);
    render::readTextElements(xml, u"ClipInfo", [&d, file](const QString& name, const QString& text) {
        if (!apply(d, name, text))
            qDebug().noquote() << "Ignoring" << name << "of" << file->fileName() << ":" << text.left(40);
    });
    const bool ok = !xml.hasError();
    if (!ok) {
        qCritical().noquote()
            << QStringLiteral("failed to parse the XML file %1:%2").arg(file->fileName()).arg(xml.lineNumber());
        qCritical().noquote() << xml.errorString();
    }
    file->close();
    return ok;
}

QString rangesText(const QList<ClipSegment>& ranges)
{
    QStringList parts;
    for (const ClipSegment& r : ranges)
        parts << QStringLiteral("%1-%2").arg(r.first).arg(r.last);
    return parts.join(QLatin1Char(','));
}

QList<ClipSegment> parseRanges(const QString& text)
{
    QList<ClipSegment> ranges;
    for (QStringView piece : QStringView(text).split(u',', Qt::SkipEmptyParts)) {
        const qsizetype dash = piece.indexOf(u'-');
        if (dash < 0)
            continue;
        bool okFirst = false;
        bool okLast = false;
        const qint64 first = piece.left(dash).trimmed().toLongLong(&okFirst, 10);
        const qint64 last = piece.mid(dash + 1).trimmed().toLongLong(&okLast, 10);
        if (okFirst && okLast && first >= 0 && first <= last)
            ranges.append({first, last});
    }
    return ranges;
}

} // namespace clipxml
