#pragma once

#include <QToolButton>

// A button drawn with the picture ":/res/<name>.png", and "<name>_chk" and "<name>_dsb" for its
// checked and disabled looks, at size x size pixels.
class ImageButton : public QToolButton {
    Q_OBJECT
public:
    ImageButton(const QString& name, int size, QWidget* parent = nullptr);
};
