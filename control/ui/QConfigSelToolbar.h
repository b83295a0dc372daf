#pragma once

#include <QWidget>

// Selects the page of the configuration toolbar (camera and output, paint, genlock, lens).
// Holds the place and the signal; its page buttons come with the configuration pages.
class QConfigSelToolbar : public QWidget {
    Q_OBJECT
public:
    explicit QConfigSelToolbar(QWidget* parent = nullptr);

signals:
    void pageSelect(int page);
};
