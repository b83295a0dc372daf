#include "control/manager/RecorderActions.h"

#include "common/catalogue/ClipInfoProcessor.h"
#include "common/packets/ParameterCodes.h"
#include "control/commands/CommandText.h"
#include "control/manager/QMultiRecorderMgr.h"

#include <cmath>

namespace {

constexpr double FramesPerRateCode = 120.0;
using Target = QMultiRecorderMgr::Target;

} // namespace

RecorderActions::ParameterOutcome RecorderActions::cameraRecorderParameter(int kind, double value)
{
    ParameterOutcome outcome;
    const quint64 word = quint64(qint64(value)); // every packed value is the truncated number
    const BaseRecInterface* current = manager_.link();
    const StatusPacket* status = current && current->records().status ? &*current->records().status : nullptr;
    auto typed = [&](int code, quint64 v) { manager_.sendTypedCommand(code, v, {}, Target::CurrentUnchecked); };
    switch (kind) {
    case FrameRate:
        typed(ParameterCode::FrameRate, word);
        typed(ParameterCode::FrameRateCode, quint64(qint64(value / FramesPerRateCode)));
        if (value > 0 && status && 1e6 / value - 2 < status->shutterTime)
            outcome.lowerShutterTo = int(1e6 / value - 2);
        break;
    case Shutter:
        manager_.sendCommand(RecorderCommand::shutter(value), Target::CurrentUnchecked);
        break;
    case SdiFormat:
        typed(ParameterCode::SdiFormat, word);
        break;
    case SdiSelection:
        typed(ParameterCode::SdiSelection, word);
        if (word == 0 && status)
            typed(ParameterCode::FrameRateCode, quint64(qint64(status->frameRate / FramesPerRateCode)));
        break;
    case GenlockFormat:
        typed(ParameterCode::Genlock, word);
        break;
    case FirstAlignment:
        typed(ParameterCode::FirstAlignment, word);
        break;
    case SecondAlignment:
        typed(ParameterCode::SecondAlignment, word);
        break;
    case LoadCalibration:
        typed(ParameterCode::ControlWord, ControlWord::LoadCalibration);
        outcome.calibrationLoading = true;
        break;
    default:
        break;
    }
    return outcome;
}

void RecorderActions::selectRoi(int x, int y)
{
    const quint64 roi = quint64(quint16(x)) | quint64(quint16(y)) << 16;
    manager_.sendTypedCommand(ParameterCode::RegionOfInterest, roi, {}, Target::CurrentUnchecked);
}

void RecorderActions::paintParameter(int group, int channel, int value)
{
    manager_.sendPaintValue(group, channel, value, Target::CurrentUnchecked);
}

void RecorderActions::swapSdiOutputs()
{
    manager_.sendCommand(RecorderCommand::SwapSdiOutputs, Target::Current);
}

void RecorderActions::selectClip(int index)
{
    const BaseRecInterface* current = manager_.link();
    if (index < 0 || !current || !current->isConnected())
        return;
    manager_.sendCommand(RecorderCommand::selectClip(index), Target::All);
}

void RecorderActions::deleteLatestClip()
{
    manager_.sendCommand(RecorderCommand::DeleteLatestClip, Target::Current);
}

void RecorderActions::deleteAllClips()
{
    manager_.sendCommand(RecorderCommand::DeleteAllClips, Target::Current);
}

void RecorderActions::seek(int value, quint64 frames)
{
    if (const auto command = RecorderCommand::seek(value, frames))
        manager_.sendCommand(*command, Target::Current);
}

PlaybackControl::Action RecorderActions::playbackEvent(int event)
{
    const PlaybackControl::Action action = manager_.playback().event(event);
    for (const QString& command : action.commands)
        manager_.sendCommand(command, Target::All);
    if (action.toggleLoop)
        manager_.sendTypedCommand(ParameterCode::ControlWord, ControlWord::DirectLoop, {}, Target::All);
    return action;
}

void RecorderActions::playbackSpeed(int value)
{
    for (const QString& command : manager_.playback().speedSlider(value))
        manager_.sendCommand(command, Target::All);
}

bool RecorderActions::sendBasicInfo(const BasicInfoBlock& edited)
{
    const BaseRecInterface* current = manager_.link();
    if (!current || !current->records().basicInfo)
        return false;
    const QByteArray bytes = edited.encode();
    if (bytes == current->records().basicInfo->encode())
        return false;
    manager_.sendTypedCommand(ParameterCode::BasicInfo, 0, bytes, Target::CurrentUnchecked);
    return true;
}

std::optional<int> RecorderActions::clipListArrived()
{
    const ClipInfoProcessor* clips = manager_.clipList();
    const BaseRecInterface* current = manager_.link();
    if (!clips || !current || clips->clips().isEmpty())
        return std::nullopt;
    const int count = int(clips->clips().size());
    const int reported = current->records().status ? current->records().status->selectedClip : -1;
    if (reported >= 0 && reported < count)
        return reported;
    selectClip(count - 1);
    return count - 1;
}
