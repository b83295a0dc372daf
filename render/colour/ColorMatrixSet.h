#pragma once

#include "common/packets/ColorMatrixRecord.h"
#include "render/state/RenderStateTypes.h"

#include <QList>
#include <QString>

// A recorder's colour matrices for several colour temperatures, normally in ascending
// temperature (kept in the order received; nothing sorts them).
class ColorMatrixSet {
public:
    // More records than any recorder sends; a file announcing more is refused rather than
    // making us allocate whatever number it names.
    static constexpr quint32 MaxRecords = 4096;

    struct Blend {
        render::Matrix3x3Double matrix;
        double temperature = 0.0;
    };

    QList<ColorMatrixRecord> records;

    // Replaces the records with those of the file; on any failure (unreadable, malformed, no
    // "Number_of_Matrices", too many records) the set stays as it was.
    bool load(const QString& path);
    // Writes the whole set, replacing the file. The three extra fields are not kept.
    bool save(const QString& path) const;

    // The matrix at position t (0 to 1) of the set: x = n t picks the records floor(x) and
    // ceil(x) (limited to the set) and blends them by the fraction of x, so the top of the range
    // gives the last record. An empty set gives the identity and temperature 0.
    Blend interpolate(double t) const;
};
