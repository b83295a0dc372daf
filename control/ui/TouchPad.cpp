#include "control/ui/TouchPad.h"

#include "control/app/UiScale.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

TouchPad::TouchPad(const QString& title, int initial, int minimum, int maximum, double scale, QWidget* parent)
    : QDialog(parent), entry_(initial)
{
    setWindowTitle(title);
    auto sized = [scale](int size) { return UiScale::scaled(size, scale); };
    auto* layout = new QGridLayout(this);
    layout->setSpacing(sized(6));
    auto* caption = new QLabel(QStringLiteral("<p align=center><font color=white><b>%1</b></font><br/>"
                                              "<font color=#4B96C8>%2 ... %3</font></p>")
                                   .arg(title)
                                   .arg(minimum)
                                   .arg(maximum),
                               this);
    layout->addWidget(caption, 0, 0, 1, 3);
    value_ = new QLabel(this);
    value_->setObjectName(QStringLiteral("LblValue"));
    value_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value_->setMinimumHeight(sized(44));
    value_->setStyleSheet(QStringLiteral("QLabel { background: #14171b; border: 1px solid #3a3f47; border-radius: 4px;"
                                         " color: white; font-size: 18pt; padding: 0 8px; }"));
    layout->addWidget(value_, 1, 0, 1, 3);
    auto button = [&](const QString& name, const QString& text, int row, int column, auto slot) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setMinimumSize(sized(64), sized(48));
        b->setFocusPolicy(Qt::NoFocus);
        b->setStyleSheet(QStringLiteral("font-size: 14pt;"));
        layout->addWidget(b, row, column);
        connect(b, &QPushButton::clicked, this, slot);
    };
    for (int d = 1; d <= 9; ++d)
        button(QStringLiteral("Btn_%1").arg(d), QString::number(d), 2 + (d - 1) / 3, (d - 1) % 3,
               &TouchPad::DigitClicked);
    button(QStringLiteral("Btn_PM"), QStringLiteral("+/-"), 5, 0, &TouchPad::ChangeSign);
    button(QStringLiteral("Btn_0"), QStringLiteral("0"), 5, 1, &TouchPad::DigitClicked);
    button(QStringLiteral("Btn_PT"), QStringLiteral("."), 5, 2, &TouchPad::SetPoint);
    button(QStringLiteral("Btn_C"), QStringLiteral("C"), 6, 0, &TouchPad::ClearAll);
    button(QStringLiteral("Btn_D"), QStringLiteral("<-"), 6, 1, &TouchPad::DigitDeleted);
    button(QStringLiteral("Btn_OK"), tr("OK"), 6, 2, &QDialog::accept);
    showEntry();
}

QString TouchPad::shownText() const
{
    return value_->text();
}

void TouchPad::DigitClicked()
{
    const QString name = sender() ? sender()->objectName() : QString();
    if (name.startsWith(QLatin1String("Btn_")))
        entry_.digit(name.mid(4).toInt());
    showEntry();
}

void TouchPad::DigitDeleted()
{
    entry_.deleteLast();
    showEntry();
}

void TouchPad::SetPoint()
{
    entry_.point();
    showEntry();
}

void TouchPad::ClearAll()
{
    entry_.clearAll();
    showEntry();
}

void TouchPad::ChangeSign()
{
    entry_.changeSign();
    showEntry();
}

void TouchPad::showEntry()
{
    value_->setText(entry_.isNegativePending() ? QStringLiteral("-") + entry_.text() : entry_.text());
}
