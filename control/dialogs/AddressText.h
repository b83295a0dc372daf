#pragma once

#include <QString>

#include <optional>

// An IPv4 address the user typed for a recorder: four decimal numbers of 0 to 255 separated by
// dots. Anything else, and 0.0.0.0 (which would cut the recorder off), is refused.
namespace AddressText {
std::optional<quint32> parse(const QString& text);
}
