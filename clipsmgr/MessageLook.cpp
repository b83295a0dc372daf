#include "clipsmgr/MessageLook.h"

#include "clipsmgr/VLMClipsApp.h"

MessageLook messageLookForFlags(int flags)
{
    MessageLook look;
    if (flags & VLMClipsApp::MsgWarning)
        look.iconPath = QStringLiteral(":/res/ico-wrn.png");
    else if (flags & VLMClipsApp::MsgInfo)
        look.iconPath = QStringLiteral(":/res/ico-inf.png");
    else if (flags & VLMClipsApp::MsgQuestion)
        look.iconPath = QStringLiteral(":/res/ico-qstn.png");

    if (flags & VLMClipsApp::MsgYesNo) {
        look.buttons = QMessageBox::Yes | QMessageBox::No;
        look.defaultButton = QMessageBox::No;
    } else if (flags & VLMClipsApp::MsgYesNoCancel) {
        look.buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        look.defaultButton = QMessageBox::No;
    } else {
        look.buttons = QMessageBox::Ok;
        look.defaultButton = QMessageBox::Ok;
    }
    return look;
}
