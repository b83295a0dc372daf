#pragma once

#include <QDir>
#include <QString>

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

// File systems mounted for one test process alone, in a mount namespace of its own, so nothing
// of them is seen outside it.
namespace privatemounts {

// Enters the namespace. Must run before any thread exists: unsharing mounts needs a
// single-threaded process. Empty on success, else why not.
inline QString enter()
{
    if (unshare(CLONE_NEWNS) != 0)
        return QStringLiteral("unshare: %1").arg(std::strerror(errno));
    // Keep our mounts from propagating back into the namespace we came from.
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return QStringLiteral("private mounts: %1").arg(std::strerror(errno));
    return {};
}

// A file system of the type on a new folder under /tmp; empty on failure, with the reason in why.
inline QString mount(const char* type, const char* options, QString* why)
{
    char folder[] = "/tmp/vlm-mount-XXXXXX";
    if (!mkdtemp(folder) || ::mount(type, folder, type, 0, options) != 0) {
        *why = QStringLiteral("%1: %2").arg(QLatin1String(type), QString::fromLocal8Bit(std::strerror(errno)));
        return {};
    }
    return QString::fromLocal8Bit(folder);
}

inline void unmount(const QString& folder)
{
    if (folder.isEmpty())
        return;
    umount(qPrintable(folder));
    QDir().rmdir(folder);
}

} // namespace privatemounts
