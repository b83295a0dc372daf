#pragma once

#include <QStyledItemDelegate>

// Draws a cell as a progress bar with the cell's text on it; the bar's value (0 to 1000) comes
// from the given role.
class ProgressBarDelegate : public QStyledItemDelegate {
public:
    ProgressBarDelegate(int perMilleRole, QObject* parent) : QStyledItemDelegate(parent), role_(perMilleRole) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int role_;
};
