#pragma once

#include <QFrame>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
struct UdpRecInfo;

// One discovered recorder in the list. A click opens it (with every other checked recorder);
// the check box adds it to the recorders opened together; "Edit" opens an editor for the
// recorder's IP address, which a second press (or a click on the label) closes.
class RecLabel : public QFrame {
    Q_OBJECT
public:
    RecLabel(const UdpRecInfo& record, int discoveredIndex, int scaledMargin, QWidget* parent = nullptr);
    // A recorder found otherwise (over Bluetooth), described by a rich text.
    RecLabel(const QString& text, int discoveredIndex, int scaledMargin, QWidget* parent = nullptr);

    int discoveredIndex() const { return discoveredIndex_; }
    bool isChecked() const;
    void setChecked(bool checked);
    // The recorder's address as a 32-bit number.
    quint32 address() const { return address_; }
    bool isEditing() const { return editing_; }
    // The editor's text and why it was refused, for tests.
    QLineEdit* addressEdit() const { return edit_; }
    QString problemText() const;

signals:
    void clicked();
    // The user asked for the recorder to take a new address.
    void changeIpAddress(uint address);

public slots:
    // Into the editor, or out of it: a sound new address is signalled, anything else is
    // refused with the reason and the old address kept.
    void EditInfo();
    void Clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QLabel* text_;
    QCheckBox* check_;
    QPushButton* editButton_;
    QWidget* editor_;
    QLineEdit* edit_;
    QLabel* problem_;
    int discoveredIndex_;
    quint32 address_ = 0;
    bool editing_ = false;
};
