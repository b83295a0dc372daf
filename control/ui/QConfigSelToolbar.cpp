#include "control/ui/QConfigSelToolbar.h"

QConfigSelToolbar::QConfigSelToolbar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("configSelToolbar"));
}
