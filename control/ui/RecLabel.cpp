#include "control/ui/RecLabel.h"

#include "control/app/DisplayTexts.h"
#include "control/discovery/UdpRecInfo.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>

RecLabel::RecLabel(const UdpRecInfo& record, int discoveredIndex, int scaledMargin, QWidget* parent)
    : QFrame(parent), discoveredIndex_(discoveredIndex), address_(record.recorderAddress.toIPv4Address())
{
    setObjectName(QStringLiteral("recLabel"));
    setFrameShape(QFrame::StyledPanel);
    setCursor(Qt::PointingHandCursor);
    setStyleSheet(QStringLiteral("QFrame#recLabel { background-color: #262b32; border: 1px solid #3a3f47;"
                                 " border-radius: 6px; } QFrame#recLabel:hover { border: 1px solid #3ba7e5; }"
                                 " QCheckBox::indicator { width: 22px; height: 22px; border: 2px solid #6b737e;"
                                 " border-radius: 4px; background: #14171b; }"
                                 " QCheckBox::indicator:checked { background: #3ba7e5; border-color: #8fd0f5; }"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(scaledMargin, scaledMargin / 2, scaledMargin, scaledMargin / 2);
    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(QStringLiteral(":/res/vlmvel.png")));
    layout->addWidget(icon);
    text_ = new QLabel(DisplayTexts::recorderLabel(record, tr("Camera")), this);
    text_->setTextFormat(Qt::RichText);
    text_->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(text_, 1);
    check_ = new QCheckBox(this);
    check_->setToolTip(tr("Open together with the recorder clicked"));
    layout->addWidget(check_);
}

bool RecLabel::isChecked() const
{
    return check_->isChecked();
}

void RecLabel::setChecked(bool checked)
{
    check_->setChecked(checked);
}

void RecLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QFrame::mouseReleaseEvent(event);
}
