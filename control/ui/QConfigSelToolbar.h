#pragma once

#include <QWidget>

#include <array>

class ImageButton;
class QLabel;

// Selects the page of the configuration toolbar (camera and output, paint, genlock, lens) and
// shows the page's title.
class QConfigSelToolbar : public QWidget {
    Q_OBJECT
public:
    QConfigSelToolbar(int buttonSize, QWidget* parent = nullptr);

    // Checks the page's button and shows its title, without signalling.
    void checkPage(int page);

signals:
    void pageSelect(int page);

private:
    std::array<ImageButton*, 4> buttons_{};
    QLabel* title_;
};
