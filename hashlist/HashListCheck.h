#pragma once

#include <QString>
#include <QStringList>

// Checks a copied folder against the newest hash list (".mhl") it holds: every listed file must
// exist with its listed size and, when contents are checked, its listed xxHash64.
struct FolderCheck {
    QString hashList;     // file name of the list checked; empty when the folder has none
    QString listError;    // why the list itself cannot be used; empty when it can
    QStringList missing;  // listed files that are gone
    QStringList changed;  // "<file>: <what differs>"
    int filesChecked = 0; // listed files found intact

    bool hasHashList() const { return !hashList.isEmpty(); }
    // The list is usable and every file it lists is as listed.
    bool intact() const { return hasHashList() && listError.isEmpty() && missing.isEmpty() && changed.isEmpty(); }
    // What a user is told, one finding per line.
    QString report() const;
    // One short phrase for a list row; empty when intact.
    QString summary() const;
};

namespace hashlistcheck {

// The newest hash list of the folder (names sort by their date), or empty.
QString findHashList(const QString& folder);
// contents false checks names and sizes only, without reading the files.
FolderCheck check(const QString& folder, bool contents);

} // namespace hashlistcheck
