#include "control/commands/PlaybackControl.h"

#include "control/commands/CommandText.h"

#include <algorithm>

namespace {

constexpr double MinSpeed = 0.02; // halving below it stops, doubling from 0 starts there

} // namespace

QStringList PlaybackControl::rateCommands() const
{
    if (state_ == Forwards)
        return {RecorderCommand::rate(speed_)};
    if (state_ == Backwards)
        return {RecorderCommand::rate(-speed_)};
    return {};
}

PlaybackControl::Action PlaybackControl::event(int event)
{
    Action action;
    switch (event) {
    case FirstFrame:
        action.commands = {RecorderCommand::FirstFrame};
        break;
    case PreviousFrame:
        action.commands = {RecorderCommand::PreviousFrame};
        break;
    case Rewind:
    case FastForward:
        if (speed_ == 0.0)
            speed_ = DefaultSpeed;
        state_ = event == Rewind ? Backwards : Forwards;
        action.commands = rateCommands();
        break;
    case Pause:
        if (state_ != Stopped)
            action.commands = {RecorderCommand::Pause};
        state_ = Stopped;
        break;
    case NextFrame:
        action.commands = {RecorderCommand::NextFrame};
        break;
    case LatestFrame:
        action.commands = {RecorderCommand::LatestFrame};
        break;
    case DirectLoop:
        action.toggleLoop = true;
        break;
    case HalveSpeed:
    case DoubleSpeed:
        if (event == HalveSpeed)
            speed_ = speed_ <= MinSpeed ? 0.0 : speed_ * 0.5;
        else
            speed_ = speed_ == 0.0 ? MinSpeed : std::min(speed_ * 2, MaxSpeed);
        action.speedShown = true;
        if (speed_ != 0.0) {
            action.commands = rateCommands();
        } else {
            action.commands = {RecorderCommand::Pause};
            state_ = Stopped;
        }
        break;
    default:
        break;
    }
    return action;
}

QStringList PlaybackControl::speedSlider(int value)
{
    speed_ = value / 100.0;
    const QStringList commands = rateCommands();
    if (value == 0)
        state_ = Stopped;
    return commands;
}
