#pragma once

#include "control/discovery/NetworkAdapters.h"

#include <QList>
#include <QString>

// The general options dialog's three rows (network adapter, link, operator mode) without the
// dialog: the value each shows and how - and + step through them. Adapter entry 0 is
// "Broadcast", all adapters, stored as "*ALL*".
class GeneralOptions {
public:
    enum Row { AdapterRow = 0, LinkRow = 1, OperatorModeRow = 2, RowCount };

    GeneralOptions(int link, int operatorMode, const QString& adapterName, const QList<NetworkAdapter>& adapters);

    static QString caption(int row);
    QString valueText(int row) const;
    // A row with nothing to choose (no adapter on the host) has its buttons off.
    bool canStep(int row) const;
    // One value back (-1) or on (+1), wrapping at both ends.
    void step(int row, int direction);

    int link() const { return link_; }
    int operatorMode() const { return operatorMode_; }
    // "*ALL*" for entry 0, else the adapter's name.
    QString adapterName() const;

private:
    int link_;
    int operatorMode_;
    QList<NetworkAdapter> adapters_;
    int adapter_ = 0; // 0 Broadcast, i: adapters_[i - 1]
};
