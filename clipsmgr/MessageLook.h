#pragma once

#include <QMessageBox>
#include <QString>

// What a message box of the clips manager looks like for a set of message flags.
struct MessageLook {
    QString iconPath; // empty: no icon
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
};

// flags are VLMClipsApp::MessageFlags. A warning outranks information, which outranks a
// question; Yes/No outranks Yes/No/Cancel; with neither, Ok alone.
MessageLook messageLookForFlags(int flags);
