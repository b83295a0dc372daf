#include "control/config/CameraSettings.h"

#include "common/naming/RecorderNaming.h"
#include "common/packets/ParameterCodes.h"
#include "control/link/RecorderRecords.h"
#include "control/manager/RecorderActions.h"

#include <algorithm>
#include <cmath>

namespace {

// The frame period in microseconds, rounded; nothing below 1 fps.
std::optional<int> framePeriod(int fps)
{
    if (fps < 1)
        return std::nullopt;
    return int(std::lround(1e6 / fps));
}

constexpr int SdiSelectionCode = 20; // the output state value behind paint group 0

int statusFps(const StatusPacket& status)
{
    const double rate = status.frameRate;
    return std::isfinite(rate) ? int(std::clamp(std::lround(rate), 0L, long(INT_MAX))) : 0;
}

int statusShutter(const StatusPacket& status)
{
    const double shutter = status.shutterTime;
    return std::isfinite(shutter) ? int(std::clamp(shutter, 0.0, double(INT_MAX))) : 0;
}

} // namespace

void CameraSettings::fill(const RecorderRecords& records)
{
    lastStatus_.reset();
    settle_ = 0;
    if (records.status)
        takeStatus(*records.status);
    const int modelMaximum = records.info ? modelFrameLimit(records.info->cameraModel) : 0;
    fpsMaximum_ = modelMaximum > 0 ? modelMaximum : fps_;
    genlock_ = GenlockConfig::fromWord(records.genlockWord.value_or(0));
    if (records.outputState)
        outputSelection_ = records.outputState->values[SdiSelectionCode];
    swapped_ = false;
}

bool CameraSettings::takeStatus(const StatusPacket& status)
{
    const bool reported = !lastStatus_ || statusFps(*lastStatus_) != statusFps(status)
        || statusShutter(*lastStatus_) != statusShutter(status) || lastStatus_->sdiFormat != status.sdiFormat;
    lastStatus_ = status;
    if (settle_ > 0 && !reported) {
        --settle_;
        return false;
    }
    settle_ = 0;
    const VideoFormat format = VideoFormat::fromByte(status.sdiFormat);
    const bool changed = fps_ != statusFps(status) || shutter_ != statusShutter(status) || !(sdiFormat_ == format);
    fps_ = statusFps(status);
    shutter_ = statusShutter(status);
    sdiFormat_ = format;
    settle_ = SettleStatuses;
    return changed;
}

int CameraSettings::fpsSliderMinimum() const
{
    return std::min(SliderMinimumFps, fpsMaximum_);
}

void CameraSettings::moveFps(int fps)
{
    fps_ = fps;
    settle_ = SettleStatuses;
}

CameraParameter CameraSettings::releaseFps(int fps)
{
    moveFps(fps);
    return {RecorderActions::FrameRate, double(fps)};
}

CameraParameter CameraSettings::typedFps(int fps)
{
    return releaseFps(std::clamp(fps, std::min(TypedMinimumFps, fpsMaximum_), fpsMaximum_));
}

std::optional<int> CameraSettings::shutterMaximum() const
{
    const auto period = framePeriod(fps_);
    if (!period)
        return std::nullopt;
    return std::max(SliderMinimumShutter, *period - 2);
}

CameraParameter CameraSettings::moveShutter(int microseconds)
{
    shutter_ = microseconds;
    settle_ = SettleStatuses;
    return {RecorderActions::Shutter, double(microseconds)};
}

std::optional<CameraParameter> CameraSettings::typedShutter(int microseconds)
{
    const auto maximum = shutterMaximum();
    if (!maximum)
        return std::nullopt;
    return moveShutter(std::clamp(microseconds, std::min(TypedMinimumShutter, *maximum), *maximum));
}

QString CameraSettings::shutterText() const
{
    const auto period = framePeriod(fps_);
    if (!period)
        return QStringLiteral("%1 us").arg(shutter_);
    const long angle = std::lround(double(shutter_) * 360.0 / *period);
    return QStringLiteral("%1 us [%2º]").arg(shutter_).arg(angle);
}

CameraParameter CameraSettings::setSdiFormat(const VideoFormat& format)
{
    sdiFormat_ = format;
    settle_ = SettleStatuses;
    return {RecorderActions::SdiFormat, double(format.byte())};
}

CameraParameter CameraSettings::setLiveOutput(bool on)
{
    liveOutput_ = on;
    return {RecorderActions::SdiSelection, on ? 1.0 : 0.0};
}

bool CameraSettings::setSdiSwapped(bool swapped)
{
    if (swapped == swapped_)
        return false;
    swapped_ = swapped;
    return true;
}

PaintParameter CameraSettings::setOutputSelection(int value)
{
    outputSelection_ = value;
    return {0, 0, value};
}

CameraParameter CameraSettings::setGenlock(const GenlockConfig& config)
{
    genlock_ = config;
    return {RecorderActions::GenlockFormat, double(config.word())};
}
