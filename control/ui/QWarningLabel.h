#pragma once

#include <QLabel>

// A message laid over the middle of its parent while something takes time ("Please wait!") or
// goes on (recording). The window shows at most one at a time.
class QWarningLabel : public QLabel {
    Q_OBJECT
public:
    QWarningLabel(const QString& text, QWidget* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();
};
