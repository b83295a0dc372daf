#pragma once

#include "control/config/ConfigParameters.h"

#include <array>
#include <optional>

struct OutputStatePacket;
struct RecorderRecords;

// The lens page: focus, iris and zoom, and the two sensor alignment values. A lens slider's
// position is the motor's command value; its range is the motor's 12 bits, widened to take a
// value the recorder reports outside them.
class LensSettings {
public:
    enum Axis { Focus = 0, Iris = 1, Zoom = 2 };
    static constexpr int AxisCount = 3;
    static constexpr int LensGroup = 10;
    static constexpr int LensMaximum = 4095;
    static constexpr int LensStep = 64; // a -/+ press at the full step
    // For fine focus: a -/+ press moves the full step or a half, third or quarter of it.
    static constexpr int StepChoices = 4;

    static constexpr int FirstStep = 16;
    static constexpr int FirstMaximum = 160;
    static constexpr int SecondStep = 8;
    static constexpr int SecondMaximum = 248;
    static constexpr int AlignmentCentre = 124;

    struct Range {
        int minimum = 0;
        int maximum = LensMaximum;
    };

    void fill(const RecorderRecords& records);

    int lens(int axis) const { return lens_[axis]; }
    Range range(int axis) const { return ranges_[axis]; }
    // The slider let go (or stepped) at position: the command value sent.
    PaintParameter setLens(int axis, int position);
    // A -/+ press: one step within the range.
    PaintParameter stepLens(int axis, int direction);
    // Choice 0 to StepChoices - 1: the step is LensStep / (choice + 1). A fill starts at 0.
    void setStepChoice(int choice);
    int stepChoice() const { return stepChoice_; }
    int lensStep() const { return LensStep / (stepChoice_ + 1); }

    int firstAlignment() const { return first_; }
    int secondAlignment() const { return second_; }
    // One step up (+1) or down (-1); nothing sent when the step had to stop at a limit, except
    // that the second value going up past its top is sent at the top.
    std::optional<CameraParameter> stepFirst(int direction);
    std::optional<CameraParameter> stepSecond(int direction);
    // Both values to the centre or to 0: the first value's parameter, then the second's.
    std::array<CameraParameter, 2> centre();
    std::array<CameraParameter, 2> reset();

private:
    std::array<int, AxisCount> lens_{};
    std::array<Range, AxisCount> ranges_{};
    int stepChoice_ = 0;
    int first_ = 0;
    int second_ = 0;
};
