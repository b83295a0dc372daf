#pragma once

#include <QFile>
#include <QTemporaryDir>

#include <sched.h>
#include <sys/mount.h>

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
    entered() = unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return entered();
}

// A tmpfs of the given size at a fresh folder, unmounted again at the end. Mounts nothing
// unless the process's mounts are its own.
class SizedVolume {
public:
    explicit SizedVolume(qint64 bytes)
    {
        const QByteArray options = "size=" + QByteArray::number(bytes);
        mounted_ = entered() && dir_.isValid()
            && mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0, options.constData()) == 0;
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
