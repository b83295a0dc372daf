#include "control/ui/QConfigSelToolbar.h"

#include "control/ui/ImageButton.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {

const char* const Pictures[4] = {"cfg_cam", "cfg_paint", "cfg_sync", "cfg_lens"};
const char* const Tips[4] = {QT_TRANSLATE_NOOP("QConfigSelToolbar", "Record Parameters"),
                             QT_TRANSLATE_NOOP("QConfigSelToolbar", "Paint Parameters"),
                             QT_TRANSLATE_NOOP("QConfigSelToolbar", "Genlock (Generator Locking)"),
                             QT_TRANSLATE_NOOP("QConfigSelToolbar", "Motorized Lens Control")};
const char* const Titles[4] = {QT_TRANSLATE_NOOP("QConfigSelToolbar", "Camera / Velmor Output"),
                               QT_TRANSLATE_NOOP("QConfigSelToolbar", "Paint Configuration"),
                               QT_TRANSLATE_NOOP("QConfigSelToolbar", "Genlock Configuration"),
                               QT_TRANSLATE_NOOP("QConfigSelToolbar", "Lens Configuration")};

} // namespace

QConfigSelToolbar::QConfigSelToolbar(int buttonSize, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("configSelToolbar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int page = 0; page < 4; ++page) {
        buttons_[page] = new ImageButton(QLatin1String(Pictures[page]), buttonSize, this);
        buttons_[page]->setCheckable(true);
        buttons_[page]->setToolTip(tr(Tips[page]));
        layout->addWidget(buttons_[page]);
        connect(buttons_[page], &QToolButton::clicked, this, [this, page] {
            checkPage(page);
            emit pageSelect(page);
        });
    }
    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("configPageTitle"));
    title_->setStyleSheet(QStringLiteral("font-size: 12pt; font-weight: bold; color: #e8ecf1;"));
    layout->addSpacing(buttonSize / 3);
    layout->addWidget(title_, 1);
    checkPage(0);
}

void QConfigSelToolbar::checkPage(int page)
{
    for (int i = 0; i < 4; ++i)
        buttons_[i]->setChecked(i == page);
    if (page >= 0 && page < 4)
        title_->setText(tr(Titles[page]));
}
