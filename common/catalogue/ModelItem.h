#pragma once

#include <QString>

// A row of one of our item models: it knows its display text, its parent item (null at the top
// level) and the row it sits in, which the owning model keeps current.
class ModelItem {
public:
    explicit ModelItem(ModelItem* parentItem = nullptr, int row = -1);
    virtual ~ModelItem();

    virtual QString text() const = 0;
    virtual int row() const;

    ModelItem* parentItem() const { return parentItem_; }
    void setParentItem(ModelItem* parent) { parentItem_ = parent; }
    void setRow(int row) { row_ = row; }

private:
    ModelItem* parentItem_;
    int row_;
};
