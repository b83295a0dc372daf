#pragma once

#include <QString>

// The clips bar's pages of 12 clip buttons: which clips the buttons show, which one is
// selected, and the absolute clip index a button stands for.
class ClipPaging {
public:
    static constexpr int PageSize = 12;

    // A new clip list: the page moves to show the selected clip (-1: none).
    void setClips(int count, int selected);
    int count() const { return count_; }
    int pageStart() const { return pageStart_; }
    int selected() const { return selected_; }

    // Buttons past the last clip are hidden.
    bool isButtonShown(int button) const { return pageStart_ + button < count_; }
    bool isButtonChecked(int button) const { return selected_ >= 0 && pageStart_ + button == selected_; }
    // "Clip n", n counted from 1.
    QString buttonText(int button) const;

    // Back 12, not below the first page; false when nothing moved.
    bool left();
    // Forward 12, unless that passes the last clip; false when nothing moved.
    bool right();
    // The absolute index the button stands for, now selected; -1 for a hidden button.
    int select(int button);

private:
    int count_ = 0;
    int pageStart_ = 0;
    int selected_ = -1;
};
