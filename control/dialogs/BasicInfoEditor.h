#pragma once

#include "common/packets/BasicInfoBlock.h"

#include <QString>

// The rows of the information dialog over a copy of a recorder's basic information block:
// their captions and texts, which of them the user may change, and the checks a changed text
// passes before it is written into the copy. A text that fails keeps the old value.
class BasicInfoEditor {
public:
    enum Row {
        Name,
        Serial,
        RecorderVersion,
        FirmwareVersion,
        BoardVersion,
        Disks,
        Mac1G,
        Ip1G,
        Mac10G0,
        Ip10G0,
        Mac10G1,
        Ip10G1,
        RowCount
    };

    BasicInfoEditor(const BasicInfoBlock& block, bool developerMode) : block_(block), developer_(developerMode) {}

    static QString caption(int row);
    QString text(int row) const;
    bool isEditable(int row) const;
    // Writes the text into the block when the row may change and the text is sound; otherwise
    // the block stays as it was and reason (when given) says why.
    bool edit(int row, const QString& text, QString* reason = nullptr);

    const BasicInfoBlock& block() const { return block_; }
    bool isEdited() const { return edited_; }

private:
    BasicInfoBlock block_;
    bool developer_;
    bool edited_ = false;
};
