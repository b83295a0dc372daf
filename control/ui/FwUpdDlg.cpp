#include "control/ui/FwUpdDlg.h"

#include "control/manager/QMultiRecorderMgr.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

FwUpdDlg::FwUpdDlg(QMultiRecorderMgr& manager, Notify notify, QWidget* parent)
    : QDialog(parent), manager_(manager), notify_(std::move(notify))
{
    setWindowTitle(tr("Velmor Firmware update"));
    setModal(true);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Firmware file:"), this), 0, 0);
    filePath_ = new QLineEdit(this);
    filePath_->setObjectName(QStringLiteral("filePath"));
    filePath_->setReadOnly(true);
    filePath_->setMinimumWidth(360);
    grid->addWidget(filePath_, 0, 1);
    select_ = new QPushButton(tr("Select File..."), this);
    select_->setObjectName(QStringLiteral("selectFileButton"));
    grid->addWidget(select_, 0, 2);
    status_ = new QLabel(tr("Ready"), this);
    status_->setObjectName(QStringLiteral("firmwareStatusLabel"));
    grid->addWidget(status_, 1, 0, 1, 3);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("firmwareProgress"));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    grid->addWidget(progress_, 2, 0, 1, 3);
    caution_ = new QLabel(tr("The Velmor is writing its flash. Do not switch it off."), this);
    caution_->setStyleSheet(QStringLiteral("color: #ff5a4a; font-weight: bold;"));
    caution_->hide();
    grid->addWidget(caution_, 3, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    update_ = new QPushButton(tr("Update Firmware"), this);
    update_->setObjectName(QStringLiteral("updateButton"));
    abort_ = new QPushButton(tr("Abort"), this);
    abort_->setObjectName(QStringLiteral("abortButton"));
    exit_ = new QPushButton(tr("Exit"), this);
    exit_->setObjectName(QStringLiteral("exitButton"));
    for (QPushButton* b : {update_, abort_, exit_})
        buttons->addWidget(b);
    grid->addLayout(buttons, 4, 0, 1, 3);
    update_->setEnabled(false);
    abort_->setEnabled(false);

    connect(select_, &QPushButton::clicked, this, &FwUpdDlg::on_selectFileButton_clicked);
    connect(update_, &QPushButton::clicked, this, &FwUpdDlg::on_updateButton_clicked);
    connect(abort_, &QPushButton::clicked, this, &FwUpdDlg::on_abortButton_clicked);
    connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
    connect(&manager_.firmware(), &RecorderFirmwareProgrammer::statusUpdate, this, &FwUpdDlg::showStatus);
}

QString FwUpdDlg::statusText() const
{
    return status_->text();
}

int FwUpdDlg::progressValue() const
{
    return progress_->value();
}

void FwUpdDlg::on_selectFileButton_clicked()
{
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Select File..."), QString(), tr("Firmware files (*.mcs)"));
    if (!path.isEmpty())
        chooseFile(path);
}

void FwUpdDlg::chooseFile(const QString& path)
{
    filePath_->setText(path);
    manager_.firmware().setFileName(path);
    update_->setEnabled(true);
}

void FwUpdDlg::on_updateButton_clicked()
{
    if (const auto refused = manager_.startFirmwareUpdate()) {
        notify_(*refused, false);
        return;
    }
    setRunning(true);
}

void FwUpdDlg::on_abortButton_clicked()
{
    manager_.firmware().abort();
    progress_->setValue(0);
    status_->setText(tr("The process has been aborted"));
    setRunning(false);
}

void FwUpdDlg::setRunning(bool running)
{
    abort_->setEnabled(running);
    update_->setEnabled(!running);
    select_->setEnabled(!running);
}

void FwUpdDlg::showStatus(const QString& portion, float progress, int nFlag)
{
    progress_->setValue(qRound(progress * 100.0f));
    status_->setText(portion);
    // The recorder cannot be stopped once it writes: neither abort nor a new file then.
    const bool writing = nFlag == 0 && manager_.firmware().isWriting();
    caution_->setVisible(writing);
    if (writing) {
        abort_->setEnabled(false);
        select_->setEnabled(false);
    }
    if (nFlag == 0)
        return;
    notify_(portion, nFlag == 1);
    status_->setText(nFlag == 1 ? tr("Ready") : tr("Aborted"));
    progress_->setValue(0);
    setRunning(false);
}
