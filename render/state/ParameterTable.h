#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>
#include <utility>

namespace render {

// One named default of the render state, with the range its controls offer where it has one.
// The model itself does not reject values outside the range.
struct ParameterDefault {
    QString name;
    QVariant value;
    std::optional<std::pair<double, double>> range;
};

// The defaults every render state starts from, built once.
const QList<ParameterDefault>& parameterTable();

} // namespace render
