#include "control/ui/QClipsBar.h"

#include "control/ui/ImageButton.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int Columns = 4;
}

QClipsBar::QClipsBar(int buttonSize, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("clipsBar"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* pageRow = new QHBoxLayout;
    left_ = new ImageButton(QStringLiteral("clp_left"), buttonSize, this);
    right_ = new ImageButton(QStringLiteral("clp_right"), buttonSize, this);
    auto* grid = new QGridLayout;
    clipButtons_ = new QButtonGroup(this);
    for (int b = 0; b < ClipPaging::PageSize; ++b) {
        auto* button = new QPushButton(this);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setMinimumHeight(buttonSize * 3 / 4);
        clipButtons_->addButton(button, b);
        grid->addWidget(button, b / Columns, b % Columns);
    }
    pageRow->addWidget(left_);
    pageRow->addLayout(grid, 1);
    pageRow->addWidget(right_);
    layout->addLayout(pageRow);

    info_ = new QLabel(this);
    info_->setObjectName(QStringLiteral("clipInfo"));
    info_->setTextFormat(Qt::RichText);
    info_->setAlignment(Qt::AlignCenter);
    info_->setText(QStringLiteral("<p align=center><font color=white>%1</font></p>").arg(tr("Info: N/A")));
    layout->addWidget(info_, 1);

    auto* bottom = new QHBoxLayout;
    deleteLatest_ = new QPushButton(tr("Delete latest clip"), this);
    deleteAll_ = new QPushButton(tr("Delete all clips"), this);
    freeDisk_ = new QLabel(this);
    freeDisk_->setTextFormat(Qt::RichText);
    freeDisk_->setAlignment(Qt::AlignCenter);
    for (QPushButton* b : {deleteLatest_, deleteAll_}) {
        b->setMinimumHeight(buttonSize * 3 / 4);
        b->setFocusPolicy(Qt::NoFocus);
    }
    bottom->addWidget(deleteLatest_);
    bottom->addWidget(freeDisk_, 1);
    bottom->addWidget(deleteAll_);
    layout->addLayout(bottom);

    connect(clipButtons_, &QButtonGroup::idClicked, this, &QClipsBar::OnClipSelected);
    connect(left_, &QToolButton::clicked, this, &QClipsBar::OnLeftSelected);
    connect(right_, &QToolButton::clicked, this, &QClipsBar::OnRightSelected);
    connect(deleteLatest_, &QPushButton::clicked, this, [this] { emit deleteClip(paging_.selected()); });
    connect(deleteAll_, &QPushButton::clicked, this, &QClipsBar::deleteAllClips);
    showPage();
}

void QClipsBar::setClips(int count, int selected)
{
    paging_.setClips(count, selected);
    showPage();
}

void QClipsBar::showClipInfo(const QString& text)
{
    info_->setText(text);
}

QString QClipsBar::clipInfoText() const
{
    return info_->text();
}

void QClipsBar::showFreeDisk(const QString& share)
{
    freeDisk_->setText(QStringLiteral("<p align=center><font color=white><b>%1</b></font><br/>"
                                      "<font color=#4B96C8>%2</font></p>")
                           .arg(tr("VLM Velmor Free Disk"), share));
}

void QClipsBar::OnClipSelected(int button)
{
    const int index = paging_.select(button);
    showPage();
    if (index >= 0)
        emit selectClip(index);
}

void QClipsBar::OnLeftSelected()
{
    if (paging_.left())
        showPage();
}

void QClipsBar::OnRightSelected()
{
    if (paging_.right())
        showPage();
}

void QClipsBar::showPage()
{
    clipButtons_->setExclusive(false); // lets no button be checked
    for (int b = 0; b < ClipPaging::PageSize; ++b) {
        QAbstractButton* button = clipButtons_->button(b);
        button->setText(paging_.buttonText(b));
        button->setChecked(paging_.isButtonChecked(b));
        // Hidden buttons keep their place, so the grid does not jump between pages.
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
        button->setVisible(paging_.isButtonShown(b));
    }
    clipButtons_->setExclusive(true);
    const bool any = paging_.count() > 0;
    for (QWidget* w : {static_cast<QWidget*>(left_), static_cast<QWidget*>(right_),
                       static_cast<QWidget*>(deleteLatest_), static_cast<QWidget*>(deleteAll_)})
        w->setEnabled(any);
}
