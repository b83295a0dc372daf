#pragma once

#include <QString>
#include <QStringList>

class QTranslator;

// The control program's translations: "Lumarex_de", "Lumarex_it" and "Lumarex_jp" in a
// "Languages" folder beside the program or in the install location, so a program started from
// a menu (whose working folder is anywhere) finds them.
namespace Translations {

// The file's base name for a language of ControlSettings; empty for built-in English.
QString baseName(int language);
// Where the files are looked for, in order.
QStringList folders();
// Loads the language into translator and installs it; false (nothing installed) for English
// or when no folder holds the file.
bool install(QTranslator& translator, int language);

} // namespace Translations
