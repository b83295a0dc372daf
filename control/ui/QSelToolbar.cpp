#include "control/ui/QSelToolbar.h"

#include "control/app/ControlSettings.h"
#include "control/ui/ImageButton.h"

#include <QHBoxLayout>

QSelToolbar::QSelToolbar(int buttonSize, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    record_ = new ImageButton(QStringLiteral("opt_rec"), buttonSize, this);
    record_->setToolTip(tr("Recording"));
    playback_ = new ImageButton(QStringLiteral("opt_clip"), buttonSize, this);
    playback_->setToolTip(tr("Playback"));
    for (ImageButton* b : {record_, playback_}) {
        b->setCheckable(true);
        layout->addWidget(b);
    }
    layout->addStretch();
    connect(record_, &QToolButton::clicked, this, [this] { select(RecordTab); });
    connect(playback_, &QToolButton::clicked, this, [this] { select(PlaybackTab); });
}

void QSelToolbar::enableForMode(int operatorMode)
{
    record_->setEnabled(operatorMode != ControlSettings::PlaybackOnly);
    playback_->setEnabled(operatorMode != ControlSettings::FilmingOnly);
}

void QSelToolbar::checkTab(int tab)
{
    record_->setChecked(tab == RecordTab);
    playback_->setChecked(tab == PlaybackTab);
}

void QSelToolbar::select(int tab)
{
    checkTab(tab);
    emit tabSelect(tab);
}
