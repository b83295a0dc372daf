#pragma once

#include <QString>

#include <optional>

namespace render {

// What the clips manager uses of a recorder's paint-options document.
struct PaintOptions {
    // Colour-temperature position in units of 1/1024; absent when the document has no
    // "ColorMat" or its text is no unsigned decimal number.
    std::optional<quint32> colorMat;
};

// Reads a "PaintOptions" document. Nothing when the file cannot be opened or is malformed.
std::optional<PaintOptions> readPaintOptions(const QString& path);

} // namespace render
