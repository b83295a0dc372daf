#pragma once

#include <QByteArrayView>
#include <QStringList>

namespace fuzz {

// The input as a program's arguments: the program's name, then pieces separated by zero bytes.
inline QStringList commandLineArguments(QByteArrayView input)
{
    QStringList arguments{QStringLiteral("program")};
    for (const QByteArray& piece : input.toByteArray().split('\0'))
        arguments.append(QString::fromUtf8(piece));
    return arguments;
}

} // namespace fuzz
