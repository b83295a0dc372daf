#pragma once

#include <QByteArray>
#include <QString>

// Points HOME and the XDG folders at path, so settings and default folders of the program
// under test land there and never in the user's real ones. Call before the application exists.
inline void useTestHome(const QString& path)
{
    const QByteArray home = path.toLocal8Bit();
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_DATA_HOME", home + "/.local/share");
    qputenv("XDG_CACHE_HOME", home + "/.cache");
    qunsetenv("XDG_VIDEOS_DIR");
}
