#include "render/state/RenderState.h"

#include "render/state/XmlTextElements.h"

#include <QDebug>
#include <QFile>
#include <QMap>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

bool RenderState::saveStateXml(QIODevice* file)
{
    QMap<QString, QString> entries; // ordered by element name
    for (const QString& name : delegateNames()) {
        const kvx::QVarDelegate* d = delegate(name);
        if (d->persistent())
            entries.insert(elementName(name), d->toString());
    }

    QXmlStreamWriter xml(file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("RenderState"));
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        xml.writeTextElement(it.key(), it.value());
    xml.writeEndElement();
    xml.writeEndDocument();
    return !xml.hasError();
}

bool RenderState::loadStateXml(QFile* file)
{
    file->close();
    if (!file->open(QIODevice::ReadOnly)) {
        qDebug().noquote() << QStringLiteral("Failed to open XML file %1").arg(file->fileName());
        return false;
    }
    QXmlStreamReader xml(file);
    render::readTextElements(xml, u"RenderState", [this](const QString& name, const QString& text) {
        kvx::QVarDelegate* d = delegate(name);
        if (d && d->persistent())
            d->setFromString(text);
    });
    if (xml.hasError()) {
        qCritical().noquote()
            << QStringLiteral("failed to parse the XML file %1:%2").arg(file->fileName()).arg(xml.lineNumber());
        qCritical().noquote() << xml.errorString();
        return false;
    }
    return true;
}
