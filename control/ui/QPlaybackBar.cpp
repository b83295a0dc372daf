#include "control/ui/QPlaybackBar.h"

QPlaybackBar::QPlaybackBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("playbackBar"));
}
