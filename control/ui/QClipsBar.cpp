#include "control/ui/QClipsBar.h"

#include <QLabel>
#include <QVBoxLayout>

QClipsBar::QClipsBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("clipsBar"));
    auto* layout = new QVBoxLayout(this);
    clips_ = new QLabel(this);
    clips_->setAlignment(Qt::AlignCenter);
    freeDisk_ = new QLabel(this);
    freeDisk_->setAlignment(Qt::AlignCenter);
    freeDisk_->setTextFormat(Qt::RichText);
    layout->addWidget(clips_);
    layout->addWidget(freeDisk_);
    showClips();
}

void QClipsBar::setClips(int count, int selected)
{
    count_ = count;
    selected_ = selected;
    showClips();
}

void QClipsBar::showFreeDisk(const QString& share)
{
    freeDisk_->setText(QStringLiteral("<p align=center><font color=white><b>%1</b></font><br/>"
                                      "<font color=#4B96C8>%2</font></p>")
                           .arg(tr("VLM Velmor Free Disk"), share));
}

void QClipsBar::showClips()
{
    if (count_ == 0)
        clips_->setText(QStringLiteral("** %1 **").arg(tr("No Clips")));
    else
        clips_->setText(tr("Clip %1 of %2").arg(selected_ + 1).arg(count_));
}
