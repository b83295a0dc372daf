#pragma once

#include "control/dialogs/GeneralOptions.h"

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;

// "General options": the network adapter, the link and the operator mode, each stepped with
// - and +. The caller reads the three values after exec().
class ConfigDlg : public QDialog {
    Q_OBJECT
public:
    ConfigDlg(int link, int operatorMode, const QString& adapterName, const QList<NetworkAdapter>& adapters,
              double scale, QWidget* parent = nullptr);

    int link() const { return options_.link(); }
    int operatorMode() const { return options_.operatorMode(); }
    QString adapterName() const { return options_.adapterName(); }
    QString rowText(int row) const;

public slots:
    void OnMinus();
    void OnPlus();

private:
    void step(int direction);
    void showRows();

    GeneralOptions options_;
    std::array<QLabel*, GeneralOptions::RowCount> values_{};
};
