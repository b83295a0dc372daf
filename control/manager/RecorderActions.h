#pragma once

#include "common/packets/BasicInfoBlock.h"
#include "control/commands/PlaybackControl.h"

#include <QtGlobal>

#include <optional>

class QMultiRecorderMgr;

// What the user's actions in the window send: each action turned into its commands and
// parameter packets, to the current recorder or to every connected one. No widget here, so
// every action can be checked against the bytes it sends.
class RecorderActions {
public:
    // Kinds of the configuration toolbar's camrecParameter.
    enum ParameterKind {
        FrameRate = 0,
        Shutter = 1,
        SdiFormat = 2,
        SdiSelection = 3,
        GenlockFormat = 4,
        FirstAlignment = 5,
        SecondAlignment = 6,
        LoadCalibration = 7,
    };
    static constexpr int CalibrationWarningMs = 16000;

    struct ParameterOutcome {
        std::optional<int> lowerShutterTo; // the toolbar's shutter is to come down to this
        bool calibrationLoading = false;   // the window shows the calibration warning
    };

    explicit RecorderActions(QMultiRecorderMgr& manager) : manager_(manager) {}

    ParameterOutcome cameraRecorderParameter(int kind, double value);
    void selectRoi(int x, int y);
    void paintParameter(int group, int channel, int value);
    void swapSdiOutputs();
    // To every connected recorder, and only while the current one is connected.
    void selectClip(int index);
    void deleteLatestClip();
    void deleteAllClips();
    // The playback slider at value in a clip of frames frames; nothing for a clip of fewer
    // than two frames.
    void seek(int value, quint64 frames);
    PlaybackControl::Action playbackEvent(int event);
    void playbackSpeed(int value);
    // The information block as the user left it: sent back (code 11) only when its bytes differ
    // from the recorder's own, and never before the recorder has sent one. True when sent.
    bool sendBasicInfo(const BasicInfoBlock& edited);
    // The current recorder's clip list has changed: the clip to show as selected (none for an
    // empty list). When the recorder reports no valid selection the latest clip is selected on
    // every recorder.
    std::optional<int> clipListArrived();

private:
    QMultiRecorderMgr& manager_;
};
