#include "control/ui/QWarningLabel.h"

#include <QEvent>

QWarningLabel::QWarningLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setObjectName(QStringLiteral("warningLabel"));
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setStyleSheet(QStringLiteral("QLabel#warningLabel { background-color: rgba(20, 23, 27, 225); color: #f3a335;"
                                 " border: 2px solid #f3a335; border-radius: 8px; font-size: 13pt;"
                                 " font-weight: bold; padding: 12px; }"));
    parent->installEventFilter(this);
    place();
    show();
    raise();
}

bool QWarningLabel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        place();
    return QLabel::eventFilter(watched, event);
}

void QWarningLabel::place()
{
    const QSize room = parentWidget()->size();
    const int width = room.width() * 3 / 4;
    const int height = std::max(heightForWidth(width), sizeHint().height());
    setGeometry((room.width() - width) / 2, (room.height() - height) / 2, width, height);
}
