#include "control/ui/QBtnToolbar.h"

#include "control/ui/ImageButton.h"

#include <QHBoxLayout>

QBtnToolbar::QBtnToolbar(int buttonSize, bool developerMode, QWidget* parent)
    : QWidget(parent), developerMode_(developerMode)
{
    setObjectName(QStringLiteral("buttonToolbar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    const int size = buttonSize;
    auto make = [&](const QString& name, const QString& tip, void (QBtnToolbar::*signal)()) {
        auto* button = new ImageButton(name, size, this);
        button->setToolTip(tip);
        connect(button, &QToolButton::clicked, this, signal);
        layout->addWidget(button);
        return button;
    };
    enum_ = make(QStringLiteral("enum"), tr("Enumerate Cameras"), &QBtnToolbar::enumPressed);
    config_ = make(QStringLiteral("config"), tr("General options"), &QBtnToolbar::configPressed);
    back_ = make(QStringLiteral("back"), tr("Back"), &QBtnToolbar::backPressed);
    record_ = make(QStringLiteral("rec"), tr("Start/Stop Recording"), &QBtnToolbar::recordPressed);
    record_->setCheckable(true);
    firmware_ = make(QStringLiteral("fwupg"), tr("Update Velmor Firmware"), &QBtnToolbar::fwUpgPressed);
    info_ = make(QStringLiteral("info"), tr("Show Velmor info"), &QBtnToolbar::infoPressed);
    layout->addStretch();
    showListButtons();
}

void QBtnToolbar::showListButtons()
{
    for (QWidget* b : {back_, record_, firmware_, info_})
        b->hide();
    for (QWidget* b : {enum_, config_})
        b->show();
}

void QBtnToolbar::showRecorderButtons()
{
    for (QWidget* b : {enum_, config_})
        b->hide();
    for (QWidget* b : {back_, record_, info_})
        b->show();
    firmware_->setVisible(developerMode_);
}

void QBtnToolbar::setRecordChecked(bool checked)
{
    record_->setChecked(checked);
}

bool QBtnToolbar::isRecordChecked() const
{
    return record_->isChecked();
}

void QBtnToolbar::setRecordEnabled(bool enabled)
{
    record_->setEnabled(enabled);
}
