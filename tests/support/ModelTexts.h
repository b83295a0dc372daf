#pragma once

#include <QAbstractItemModel>
#include <QStringList>

// The display text of every top-level row, in order.
inline QStringList rowTexts(const QAbstractItemModel& model)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.data(model.index(row, 0)).toString();
    return texts;
}
