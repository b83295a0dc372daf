#include "control/playback/ClipPaging.h"

#include <QCoreApplication>

#include <algorithm>

void ClipPaging::setClips(int count, int selected)
{
    count_ = std::max(count, 0);
    selected_ = selected >= 0 && selected < count_ ? selected : -1;
    if (selected_ >= 0)
        pageStart_ = selected_ / PageSize * PageSize;
    else if (pageStart_ >= count_)
        pageStart_ = std::max(count_ - 1, 0) / PageSize * PageSize;
}

QString ClipPaging::buttonText(int button) const
{
    return QCoreApplication::translate("QClipsBar", "Clip ") + QString::number(pageStart_ + button + 1);
}

bool ClipPaging::left()
{
    if (pageStart_ == 0)
        return false;
    pageStart_ = std::max(pageStart_ - PageSize, 0);
    return true;
}

bool ClipPaging::right()
{
    if (pageStart_ + PageSize >= count_)
        return false;
    pageStart_ += PageSize;
    return true;
}

int ClipPaging::select(int button)
{
    if (button < 0 || button >= PageSize || !isButtonShown(button))
        return -1;
    selected_ = pageStart_ + button;
    return selected_;
}
