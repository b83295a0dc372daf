#pragma once

#include <QFrame>

class QCheckBox;
class QLabel;
struct UdpRecInfo;

// One discovered recorder in the list. A click opens it (with every other checked recorder);
// the check box adds it to the recorders opened together.
class RecLabel : public QFrame {
    Q_OBJECT
public:
    RecLabel(const UdpRecInfo& record, int discoveredIndex, int scaledMargin, QWidget* parent = nullptr);

    int discoveredIndex() const { return discoveredIndex_; }
    bool isChecked() const;
    void setChecked(bool checked);
    // The recorder's address as a 32-bit number.
    quint32 address() const { return address_; }

signals:
    void clicked();
    // The user asked for the recorder to take a new address.
    void changeIpAddress(uint address);

public slots:
    void Clicked() { emit clicked(); }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QLabel* text_;
    QCheckBox* check_;
    int discoveredIndex_;
    quint32 address_;
};
