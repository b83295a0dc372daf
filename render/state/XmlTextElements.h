#pragma once

#include <QString>
#include <QStringView>

#include <functional>

class QXmlStreamReader;

namespace render {

// Reads documents of the form <root><name>text</name>...</root>, the shape of every small
// settings document of a clip folder. Each direct child of the top-level element named root
// whose first token is character data is handed to onElement; other top-level elements, deeper
// elements and children without text are skipped. Reads to the end of the document, so the
// reader's error state afterwards tells whether the whole document was well-formed; everything
// handed on before an error stays handed on.
void readTextElements(QXmlStreamReader& xml, QStringView root,
                      const std::function<void(const QString& name, const QString& text)>& onElement);

} // namespace render
