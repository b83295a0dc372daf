#include "control/ui/ConfigDlg.h"

#include "control/app/UiScale.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

ConfigDlg::ConfigDlg(int link, int operatorMode, const QString& adapterName, const QList<NetworkAdapter>& adapters,
                     double scale, QWidget* parent)
    : QDialog(parent), options_(link, operatorMode, adapterName, adapters)
{
    setWindowTitle(tr("General options"));
    auto sized = [scale](int size) { return UiScale::scaled(size, scale); };
    setMinimumWidth(sized(460));
    auto* grid = new QGridLayout(this);
    grid->setSpacing(sized(10));
    for (int row = 0; row < GeneralOptions::RowCount; ++row) {
        auto* minus = new QPushButton(QStringLiteral("-"), this);
        auto* plus = new QPushButton(QStringLiteral("+"), this);
        for (QPushButton* b : {minus, plus}) {
            b->setFixedSize(sized(56), sized(48));
            b->setStyleSheet(QStringLiteral("font-size: 16pt; font-weight: bold;"));
            b->setFocusPolicy(Qt::NoFocus);
            b->setProperty("row", row);
            b->setEnabled(options_.canStep(row));
        }
        connect(minus, &QPushButton::clicked, this, &ConfigDlg::OnMinus);
        connect(plus, &QPushButton::clicked, this, &ConfigDlg::OnPlus);
        values_[row] = new QLabel(this);
        values_[row]->setTextFormat(Qt::RichText);
        values_[row]->setMinimumHeight(sized(48));
        values_[row]->setStyleSheet(QStringLiteral("QLabel { background: #262b32; border: 1px solid #3a3f47;"
                                                   " border-radius: 5px; }"));
        grid->addWidget(minus, row, 0);
        grid->addWidget(values_[row], row, 1);
        grid->addWidget(plus, row, 2);
    }
    grid->setColumnStretch(1, 1);
    auto* back = new QPushButton(tr("Back"), this);
    back->setMinimumSize(sized(120), sized(44));
    connect(back, &QPushButton::clicked, this, &QDialog::accept);
    grid->addWidget(back, GeneralOptions::RowCount, 0, 1, 3, Qt::AlignCenter);
    showRows();
}

QString ConfigDlg::rowText(int row) const
{
    return row >= 0 && row < GeneralOptions::RowCount ? values_[row]->text() : QString();
}

void ConfigDlg::OnMinus()
{
    step(-1);
}

void ConfigDlg::OnPlus()
{
    step(+1);
}

void ConfigDlg::step(int direction)
{
    options_.step(sender() ? sender()->property("row").toInt() : -1, direction);
    showRows();
}

void ConfigDlg::showRows()
{
    for (int row = 0; row < GeneralOptions::RowCount; ++row)
        values_[row]->setText(QStringLiteral("<p align=center><font color=white><b>%1</b></font><br/>"
                                             "<font color=#4B96C8>%2</font></p>")
                                  .arg(GeneralOptions::caption(row), options_.valueText(row)));
}
