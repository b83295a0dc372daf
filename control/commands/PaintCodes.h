#pragma once

#include <QtGlobal>

#include <optional>

// The parameter code a paint value of the configuration toolbar is sent under, chosen by its
// group and, for some groups, its channel. Nothing for a group or channel without a code: code 0
// is a real value (group 8), so an unknown pair must not fall back to it.
std::optional<quint8> paintCode(int group, int channel);
