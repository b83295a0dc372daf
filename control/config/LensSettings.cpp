#include "control/config/LensSettings.h"

#include "control/commands/PaintCodes.h"
#include "control/link/RecorderRecords.h"
#include "control/manager/RecorderActions.h"

#include <algorithm>

void LensSettings::fill(const RecorderRecords& records)
{
    for (int axis = 0; axis < AxisCount; ++axis) {
        const int value = records.outputState ? records.outputState->values[*paintCode(LensGroup, axis)] : 0;
        lens_[axis] = value;
        ranges_[axis] = {std::min(0, value), std::max(LensMaximum, value)};
    }
    stepChoice_ = 0;
    first_ = records.firstAlignment;
    second_ = records.secondAlignment;
}

PaintParameter LensSettings::setLens(int axis, int position)
{
    lens_[axis] = std::clamp(position, ranges_[axis].minimum, ranges_[axis].maximum);
    return {LensGroup, axis, lens_[axis]};
}

PaintParameter LensSettings::stepLens(int axis, int direction)
{
    return setLens(axis, lens_[axis] + (direction < 0 ? -lensStep() : lensStep()));
}

void LensSettings::setStepChoice(int choice)
{
    stepChoice_ = std::clamp(choice, 0, StepChoices - 1);
}

std::optional<CameraParameter> LensSettings::stepFirst(int direction)
{
    const int wanted = first_ + (direction < 0 ? -FirstStep : FirstStep);
    first_ = std::clamp(wanted, 0, FirstMaximum);
    if (first_ != wanted)
        return std::nullopt;
    return CameraParameter{RecorderActions::FirstAlignment, double(first_)};
}

std::optional<CameraParameter> LensSettings::stepSecond(int direction)
{
    const int wanted = second_ + (direction < 0 ? -SecondStep : SecondStep);
    second_ = std::clamp(wanted, 0, SecondMaximum);
    if (wanted < 0)
        return std::nullopt;
    return CameraParameter{RecorderActions::SecondAlignment, double(second_)};
}

std::array<CameraParameter, 2> LensSettings::centre()
{
    first_ = AlignmentCentre;
    second_ = AlignmentCentre;
    return {CameraParameter{RecorderActions::FirstAlignment, double(first_)},
            CameraParameter{RecorderActions::SecondAlignment, double(second_)}};
}

std::array<CameraParameter, 2> LensSettings::reset()
{
    first_ = 0;
    second_ = 0;
    return {CameraParameter{RecorderActions::FirstAlignment, 0.0},
            CameraParameter{RecorderActions::SecondAlignment, 0.0}};
}
