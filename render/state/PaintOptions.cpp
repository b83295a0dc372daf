#include "render/state/PaintOptions.h"

#include "render/state/XmlTextElements.h"

#include <QDebug>
#include <QFile>
#include <QXmlStreamReader>

namespace render {

std::optional<PaintOptions> readPaintOptions(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug().noquote() << QStringLiteral("Failed to open XML file %1").arg(path);
        return std::nullopt;
    }
    PaintOptions options;
    QXmlStreamReader xml(&file);
    readTextElements(xml, u"PaintOptions", [&options](const QString& name, const QString& text) {
        if (name != QLatin1String("ColorMat"))
            return;
        bool ok = false;
        const quint32 position = text.trimmed().toUInt(&ok, 10);
        if (ok)
            options.colorMat = position;
    });
    if (xml.hasError()) {
        qCritical().noquote() << QStringLiteral("failed to parse the XML file %1:%2").arg(path).arg(xml.lineNumber());
        qCritical().noquote() << xml.errorString();
        return std::nullopt;
    }
    return options;
}

} // namespace render
