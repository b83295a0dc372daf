#include "control/app/ControlSettings.h"

#include <QSettings>

namespace {

QSettings open()
{
    return QSettings(QString::fromLatin1(ControlSettings::Organisation),
                     QString::fromLatin1(ControlSettings::Application));
}

} // namespace

ControlSettings ControlSettings::load()
{
    const QSettings settings = open();
    ControlSettings s;
    s.language = settings.value(QStringLiteral("Settings/Language"), s.language).toInt();
    if (s.language < English || s.language > Japanese)
        s.language = English;
    s.adapterName = settings.value(QStringLiteral("Settings/NetAdapterName"), s.adapterName).toString();
    if (s.adapterName.isEmpty())
        s.adapterName = QString::fromLatin1(AllAdapters);
    bool ok = false;
    const double speed = settings.value(QStringLiteral("Settings/PlaybackSpeed"), s.playbackSpeed).toDouble(&ok);
    if (ok && speed >= 0.0 && speed <= 3.0)
        s.playbackSpeed = speed;
    return s;
}

void ControlSettings::save() const
{
    QSettings settings = open();
    settings.setValue(QStringLiteral("Settings/Link"), link);
    settings.setValue(QStringLiteral("Settings/Language"), language);
    settings.setValue(QStringLiteral("Settings/NetAdapterName"), adapterName);
    settings.setValue(QStringLiteral("Settings/OpMode"), operatorMode);
    settings.setValue(QStringLiteral("Settings/PlaybackSpeed"), playbackSpeed);
}
