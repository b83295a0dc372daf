#pragma once

// What a change on the configuration toolbar sends, as its signals carry it: a camera or
// recorder parameter (a kind of RecorderActions::ParameterKind and its value) or a paint value.
struct CameraParameter {
    int kind = 0;
    double value = 0;
    bool operator==(const CameraParameter&) const = default;
};

struct PaintParameter {
    int group = 0;
    int channel = 0;
    int value = 0;
    bool operator==(const PaintParameter&) const = default;
};
