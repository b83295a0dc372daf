#pragma once

#include <QByteArray>

#include <optional>

// The payload of a typed parameter (a form 1 set packet): how many bytes each code carries and
// how a value is packed into them. The control program builds its packets with it, and the
// simulated recorder refuses a payload of any other length.
namespace TypedParameter {

// Codes whose payload is a firmware command record followed by its data: the length varies.
inline constexpr quint8 VariableLengthCode = 13;

// Bytes a typed set of code carries (0 for codes without payload); nothing for the firmware
// command, whose length depends on the record.
std::optional<qsizetype> payloadSize(quint8 code);

// value packed as code carries it: 8 bytes unchanged, or its low 2, 4 or 1 bytes, or (code 10)
// converted to a double. Empty for codes whose payload is not made from a value (11, 13) or
// that carry none.
QByteArray packValue(quint8 code, quint64 value);

} // namespace TypedParameter
