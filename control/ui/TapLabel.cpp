#include "control/ui/TapLabel.h"

#include <QMouseEvent>

TapLabel::TapLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::RichText);
    setCursor(Qt::PointingHandCursor);
    setStyleSheet(QStringLiteral("QLabel { border: 1px solid #3a3f47; border-radius: 5px; background: #262b32; }"));
}

void TapLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}
