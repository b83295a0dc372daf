#pragma once

#include <QDir>
#include <QFile>

// What this process holds right now, read from /proc: resident memory and open descriptors.
namespace processusage {

// Resident set in bytes (VmRSS); -1 when it cannot be read.
inline qint64 residentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}

// Open file descriptors, the one that lists them not counted.
inline int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::System).size()) - 1;
}

} // namespace processusage
