#include "common/catalogue/ModelItem.h"

ModelItem::ModelItem(ModelItem* parentItem, int row) : parentItem_(parentItem), row_(row)
{}

ModelItem::~ModelItem() = default;

int ModelItem::row() const
{
    return row_;
}
