#include "control/ui/RecLabel.h"

#include "control/app/DisplayTexts.h"
#include "control/dialogs/AddressText.h"
#include "control/discovery/UdpRecInfo.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

RecLabel::RecLabel(const UdpRecInfo& record, int discoveredIndex, int scaledMargin, QWidget* parent)
    : RecLabel(DisplayTexts::recorderLabel(record, tr("Camera")), discoveredIndex, scaledMargin, parent)
{
    address_ = record.recorderAddress.toIPv4Address();
}

RecLabel::RecLabel(const QString& text, int discoveredIndex, int scaledMargin, QWidget* parent)
    : QFrame(parent), discoveredIndex_(discoveredIndex)
{
    setObjectName(QStringLiteral("recLabel"));
    setFrameShape(QFrame::StyledPanel);
    setCursor(Qt::PointingHandCursor);
    setStyleSheet(QStringLiteral("QFrame#recLabel { background-color: #262b32; border: 1px solid #3a3f47;"
                                 " border-radius: 6px; } QFrame#recLabel:hover { border: 1px solid #3ba7e5; }"
                                 " QCheckBox::indicator { width: 22px; height: 22px; border: 2px solid #6b737e;"
                                 " border-radius: 4px; background: #14171b; }"
                                 " QCheckBox::indicator:checked { background: #3ba7e5; border-color: #8fd0f5; }"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(scaledMargin, scaledMargin / 2, scaledMargin, scaledMargin / 2);
    auto* layout = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(QStringLiteral(":/res/vlmvel.png")));
    layout->addWidget(icon);
    text_ = new QLabel(text, this);
    text_->setTextFormat(Qt::RichText);
    text_->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(text_, 1);
    editButton_ = new QPushButton(tr("Edit"), this);
    editButton_->setObjectName(QStringLiteral("edit"));
    editButton_->setCheckable(true);
    editButton_->setToolTip(tr("Edit Velmor IP address"));
    connect(editButton_, &QPushButton::clicked, this, &RecLabel::EditInfo);
    layout->addWidget(editButton_);
    check_ = new QCheckBox(this);
    check_->setToolTip(tr("Open together with the recorder clicked"));
    layout->addWidget(check_);
    column->addLayout(layout);

    editor_ = new QWidget(this);
    auto* editRow = new QHBoxLayout(editor_);
    editRow->setContentsMargins(0, 0, 0, 0);
    editRow->addWidget(new QLabel(QStringLiteral("<b>%1</b>").arg(tr("Edit Velmor IP address")), editor_));
    editRow->addWidget(new QLabel(tr("IP address:"), editor_));
    edit_ = new QLineEdit(editor_);
    connect(edit_, &QLineEdit::returnPressed, this, &RecLabel::EditInfo);
    editRow->addWidget(edit_, 1);
    column->addWidget(editor_);
    problem_ = new QLabel(this);
    problem_->setStyleSheet(QStringLiteral("color: #f3a335;"));
    problem_->setWordWrap(true);
    problem_->hide();
    column->addWidget(problem_);
    editor_->hide();
}

bool RecLabel::isChecked() const
{
    return check_->isChecked();
}

void RecLabel::setChecked(bool checked)
{
    check_->setChecked(checked);
}

QString RecLabel::problemText() const
{
    return problem_->isHidden() ? QString() : problem_->text();
}

void RecLabel::EditInfo()
{
    if (!editing_) {
        editing_ = true;
        edit_->setText(QHostAddress(address_).toString());
        problem_->hide();
        editor_->show();
        edit_->setFocus();
    } else {
        editing_ = false;
        editor_->hide();
        const auto typed = AddressText::parse(edit_->text());
        if (!typed) {
            problem_->setText(tr("\"%1\" is not an IP address the Velmor can take: the address stays %2.")
                                  .arg(edit_->text(), QHostAddress(address_).toString()));
            problem_->show();
        } else if (*typed != address_) {
            problem_->hide();
            emit changeIpAddress(*typed);
        }
    }
    editButton_->setChecked(editing_);
}

void RecLabel::Clicked()
{
    if (editing_)
        EditInfo();
    else
        emit clicked();
}

void RecLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Clicked();
    QFrame::mouseReleaseEvent(event);
}
