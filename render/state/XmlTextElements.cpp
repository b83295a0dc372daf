#include "render/state/XmlTextElements.h"

#include <QXmlStreamReader>

namespace render {

void readTextElements(QXmlStreamReader& xml, QStringView root,
                      const std::function<void(const QString& name, const QString& text)>& onElement)
{
    // Depth is counted here instead of recursing, so any nesting depth is safe.
    qint64 depth = 0;
    bool inRoot = false;
    bool childJustStarted = false;
    QString child;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (childJustStarted) {
            childJustStarted = false;
            if (token == QXmlStreamReader::Characters)
                onElement(child, xml.text().toString());
        }
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (depth == 1) {
                inRoot = xml.name() == root;
            } else if (depth == 2 && inRoot) {
                child = xml.name().toString();
                childJustStarted = true;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
}

} // namespace render
