#pragma once

#include <QtGlobal>

// Codes of the typed parameter packets (form 1) exchanged with a recorder's command port.
// Set packets of form 0 carry paint values instead, under codes 0 to 25 (see isPaintCode).
namespace ParameterCode {
inline constexpr quint8 IpChange = 2;
inline constexpr quint8 SdiSelection = 4;     // 1 byte
inline constexpr quint8 FrameRateCode = 5;    // 1 byte: frame rate / 120
inline constexpr quint8 Information = 6;      // queried over Bluetooth
inline constexpr quint8 Genlock = 7;          // 8-byte format word
inline constexpr quint8 SdiFormat = 8;        // 8-byte format word
inline constexpr quint8 RegionOfInterest = 9; // 4 bytes: low 16 bits x, next 16 bits y
inline constexpr quint8 FrameRate = 10;       // 8-byte double
inline constexpr quint8 BasicInfo = 11;       // 120-byte block
inline constexpr quint8 ControlWord = 12;     // 8 bytes, see ControlWord
inline constexpr quint8 FirmwareCommand = 13;
inline constexpr quint8 FirmwareStatus = 14;
inline constexpr quint8 ColourMatrices = 15; // clips manager's query
inline constexpr quint8 FirstAlignment = 18; // 8 bytes set, signed 16-bit reply
inline constexpr quint8 SecondAlignment = 19;
inline constexpr quint8 PaintOptions = 26; // clips manager's query, answered by the output state

inline constexpr quint8 PaintCodeCount = 26;
// Paint code c sets value c of the output state; codes 6, 7 and 8 name no paint value.
constexpr bool isPaintCode(quint8 code)
{
    return code < PaintCodeCount && (code < 6 || code > 8);
}
} // namespace ParameterCode

// Bits of the code 12 control word.
namespace ControlWord {
inline constexpr quint64 CloseLinks = 0x100;
inline constexpr quint64 LoadCalibration = 0x8000;
inline constexpr quint64 DirectLoop = 0x10000;
} // namespace ControlWord
