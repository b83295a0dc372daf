#include "control/ui/ImageButton.h"

ImageButton::ImageButton(const QString& name, int size, QWidget* parent) : QToolButton(parent)
{
    const QString base = QStringLiteral(":/res/%1").arg(name);
    QIcon icon(base + QStringLiteral(".png"));
    icon.addFile(base + QStringLiteral("_chk.png"), QSize(), QIcon::Normal, QIcon::On);
    icon.addFile(base + QStringLiteral("_dsb.png"), QSize(), QIcon::Disabled, QIcon::Off);
    icon.addFile(base + QStringLiteral("_dsb.png"), QSize(), QIcon::Disabled, QIcon::On);
    setObjectName(name);
    setIcon(icon);
    setIconSize(QSize(size, size));
    setFixedSize(size + 8, size + 8);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
}
