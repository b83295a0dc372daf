#include "sim/RecorderDefaults.h"

#include <algorithm>
#include <iterator>

OutputStatePacket defaultOutputState()
{
    OutputStatePacket p;
    // Value index: 0 temporal threshold, 1 noise reduction, 9-11 gains, 12 gamma, 13 saturation,
    // 14-16 lens, 25 colour temperature position; in 1/1024 units where the value is a factor.
    const std::pair<int, qint16> values[] = {{0, 5120},  {1, 2048}, {9, 1024}, {10, 1024}, {11, 1024}, {12, 2048},
                                             {13, 1024}, {14, 20},  {15, 50},  {16, 45},   {25, 512}};
    for (const auto& [index, value] : values)
        p.values[size_t(index)] = value;
    return p;
}

ColorMatrixTable defaultColorMatrixTable()
{
    struct Matrix {
        qint32 kelvin;
        float m[9];
        float gains[3];
    };
    static const Matrix matrices[] = {
        {3200, {1.62f, -0.46f, -0.16f, -0.26f, 1.46f, -0.20f, -0.04f, -0.62f, 1.66f}, {1.00f, 1.00f, 2.10f}},
        {5600, {1.52f, -0.36f, -0.16f, -0.20f, 1.40f, -0.20f, 0.00f, -0.46f, 1.46f}, {1.45f, 1.00f, 1.45f}},
        {6500, {1.46f, -0.31f, -0.15f, -0.18f, 1.38f, -0.20f, 0.02f, -0.40f, 1.38f}, {1.60f, 1.00f, 1.30f}},
    };
    ColorMatrixTable table;
    table.value = 1; // table layout revision; the clips manager only keeps it
    for (const Matrix& m : matrices) {
        ColorMatrixRecord record;
        record.temperature = m.kelvin;
        std::copy(std::begin(m.m), std::end(m.m), record.matrix.begin());
        std::copy(std::begin(m.gains), std::end(m.gains), record.extra.begin());
        table.records.append(record);
    }
    return table;
}
