#pragma once

#include "common/packets/StatusPacket.h"
#include "control/config/ConfigParameters.h"
#include "control/config/VideoFormat.h"

#include <QString>

#include <optional>

struct RecorderRecords;
struct StatusPacket;

// The camera, output and genlock values of the configuration toolbar: filled from a recorder's
// records, changed by the user, and turned into the parameters to send. Every value the user
// enters is brought into the range the recorder takes before it is sent.
class CameraSettings {
public:
    static constexpr int SliderMinimumFps = 30;
    static constexpr int TypedMinimumFps = 20;
    static constexpr int SliderMinimumShutter = 1;
    static constexpr int TypedMinimumShutter = 2;

    // Statuses a user's change waits for the recorder to report it before the recorder's own
    // value is shown again (about a second).
    static constexpr int SettleStatuses = 10;

    void fill(const RecorderRecords& records);
    // A status after the fill: the frame rate, shutter and SDI format the recorder reports are
    // shown when they change, or when a change of the user's was not taken (the recorder
    // clamped or refused it). True when a value shown changed.
    bool takeStatus(const StatusPacket& status);

    int fps() const { return fps_; }
    // The model's maximum; for a model without a known one, the rate it runs at, so that the
    // slider never offers (nor sends) less than the camera already does.
    int fpsMaximum() const { return fpsMaximum_; }
    // 30, or lower when the maximum is below that.
    int fpsSliderMinimum() const;
    // The slider moved: only the label follows.
    void moveFps(int fps);
    // The slider released at fps.
    CameraParameter releaseFps(int fps);
    // A rate typed on the touch pad, brought into 20 to the maximum.
    CameraParameter typedFps(int fps);

    int shutter() const { return shutter_; }
    // One frame period less 2 us; nothing below 1 fps, where there is no period to fill.
    std::optional<int> shutterMaximum() const;
    CameraParameter moveShutter(int microseconds);
    // A time typed on the touch pad, brought into 2 us to the maximum; nothing below 1 fps.
    std::optional<CameraParameter> typedShutter(int microseconds);
    // After a frame-rate change that leaves no room for the shutter time.
    void lowerShutter(int microseconds) { shutter_ = microseconds; }
    // "500 us [180º]": the time and its share of the frame period as an angle ("500 us" alone
    // below 1 fps).
    QString shutterText() const;

    VideoFormat sdiFormat() const { return sdiFormat_; }
    CameraParameter setSdiFormat(const VideoFormat& format);
    bool liveOutput() const { return liveOutput_; }
    CameraParameter setLiveOutput(bool on);
    bool sdiSwapped() const { return swapped_; }
    // True when the swap state changed: only then is the recorder told, as "#sc$" toggles.
    bool setSdiSwapped(bool swapped);
    int outputSelection() const { return outputSelection_; }
    PaintParameter setOutputSelection(int value);

    GenlockConfig genlock() const { return genlock_; }
    void takeGenlockWord(quint64 word) { genlock_ = GenlockConfig::fromWord(word); }
    CameraParameter setGenlock(const GenlockConfig& config);

private:
    int fps_ = 0;
    int fpsMaximum_ = 0;
    int shutter_ = 0;
    VideoFormat sdiFormat_;
    bool liveOutput_ = false;
    bool swapped_ = false;
    int outputSelection_ = 0;
    GenlockConfig genlock_;
    std::optional<StatusPacket> lastStatus_;
    int settle_ = 0;
};
