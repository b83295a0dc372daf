#include "control/ui/FormatSelector.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QPushButton>

FormatSelector::FormatSelector(int buttonHeight, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    resolutions_ = new QButtonGroup(this);
    frequencies_ = new QButtonGroup(this);
    auto add = [&](QButtonGroup* group, const QString& text, int id, int row, int column) {
        auto* button = new QPushButton(text, this);
        button->setCheckable(true);
        button->setFixedHeight(buttonHeight);
        button->setFocusPolicy(Qt::NoFocus);
        group->addButton(button, id);
        layout->addWidget(button, row, column);
    };
    for (size_t i = 0; i < VideoFormat::Resolutions.size(); ++i)
        add(resolutions_, VideoFormat::resolutionText(VideoFormat::Resolutions[i]), VideoFormat::Resolutions[i], 0,
            int(i));
    for (size_t i = 0; i < VideoFormat::Frequencies.size(); ++i)
        add(frequencies_, VideoFormat::frequencyText(VideoFormat::Frequencies[i], false), VideoFormat::Frequencies[i],
            1, int(i));
    fractional_ = new QPushButton(tr("Fractional"), this);
    fractional_->setCheckable(true);
    fractional_->setFixedHeight(buttonHeight);
    fractional_->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(fractional_, 0, int(VideoFormat::Resolutions.size()), 2, 1);
    connect(resolutions_, &QButtonGroup::idClicked, this, [this](int code) {
        format_.resolution = code;
        emit formatSelected(format_);
    });
    connect(frequencies_, &QButtonGroup::idClicked, this, [this](int code) {
        format_.frequency = code;
        emit formatSelected(format_);
    });
    connect(fractional_, &QPushButton::clicked, this, [this](bool on) {
        format_.fractional = on;
        emit formatSelected(format_);
    });
}

void FormatSelector::setFormat(const VideoFormat& format)
{
    format_ = format;
    for (QButtonGroup* group : {resolutions_, frequencies_}) {
        const int code = group == resolutions_ ? format.resolution : format.frequency;
        // A code without a button (none, or the second 24 Hz code) leaves none checked.
        group->setExclusive(false);
        for (QAbstractButton* b : group->buttons())
            b->setChecked(group->id(b) == code || (group == frequencies_ && code == 6 && group->id(b) == 1));
        group->setExclusive(true);
    }
    fractional_->setChecked(format.fractional);
}
