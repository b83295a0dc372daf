#pragma once

#include "control/dialogs/BasicInfoEditor.h"

#include <QDialog>

class QLabel;
class QTableWidget;
class QTableWidgetItem;

// "Info": the recorder's basic information block as a table. A press on a value the row lets
// the user change opens it for editing; a text that fails its check is put back and the reason
// shown. The caller reads the block after exec().
class InfoDlg : public QDialog {
    Q_OBJECT
public:
    InfoDlg(const BasicInfoBlock& block, bool developerMode, double scale, QWidget* parent = nullptr);

    const BasicInfoBlock& block() const { return editor_.block(); }
    QString problemText() const;
    QTableWidget* table() const { return table_; }

public slots:
    void EditInfoCell(int row, int column);
    void OnExit();

private:
    void cellChanged(QTableWidgetItem* item);
    void showValues();

    BasicInfoEditor editor_;
    QTableWidget* table_;
    QLabel* problem_;
    bool showing_ = false;
};
