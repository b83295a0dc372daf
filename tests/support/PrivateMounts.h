#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

// Small file systems for full-disk cases: a test process takes a mount namespace of its own
// (as root, before any thread exists: a process with threads cannot change it) and mounts
// tmpfs volumes of exact sizes that nobody else sees.
namespace privatemounts {

inline bool& entered()
{
    static bool own = false;
    return own;
}

// True when the process's mounts are its own from now on.
inline bool enter()
{
    entered() = unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return entered();
}

// enter() with the reason it failed, for a test's skip message; empty on success.
inline QString enterOrWhyNot()
{
    return enter() ? QString() : QStringLiteral("no mount namespace of its own: %1").arg(std::strerror(errno));
}

// A file system of the type on a new folder under /tmp; empty on failure, with the reason in
// why. Mounts nothing unless the process's mounts are its own.
inline QString mount(const char* type, const char* options, QString* why)
{
    if (!entered()) {
        *why = QStringLiteral("no mount namespace of its own");
        return {};
    }
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

// A tmpfs of the given size at a fresh folder, unmounted again at the end. Mounts nothing
// unless the process's mounts are its own.
class SizedVolume {
public:
    explicit SizedVolume(qint64 bytes)
    {
        const QByteArray options = "size=" + QByteArray::number(bytes);
        mounted_ = entered() && dir_.isValid()
            && ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~SizedVolume()
    {
        if (mounted_)
            umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }
    SizedVolume(const SizedVolume&) = delete;
    SizedVolume& operator=(const SizedVolume&) = delete;

    bool isMounted() const { return mounted_; }
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

} // namespace privatemounts
