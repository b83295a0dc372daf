#pragma once

#include "common/packets/BasicInfoBlock.h"
#include "common/packets/OutputStatePacket.h"
#include "common/packets/StatusPacket.h"
#include "sim/control/ClipPlayback.h"

// Everything about a simulated recorder that the control program can set or read back,
// other than its clips (held by the clip store) and its network identity.
struct RecorderControlState {
    // Index of the output-state value that holds the SDI output selection (paint group 0).
    static constexpr int SdiSelectionValue = 20;
    static constexpr double MaxFrameRate = 100000.0;

    bool recording = false;
    qint64 recordingSinceMs = 0;
    ClipPlayback playback;

    double frameRate = 1000.0;    // frames per second
    double shutterTime = 990.0;   // microseconds
    quint8 frameRateCode = 8;     // frame rate / 120, as the control program last sent it
    quint32 regionOfInterest = 0; // low 16 bits x, next 16 bits y

    // Format words: bit 0 fractional, bits 1-4 resolution, bits 5-7 frequency; 1080p at 60 Hz.
    quint64 genlockWord = 0xB0;   // configuration
    quint8 detectedGenlock = 0;   // format of the genlock input, 0: no signal
    quint64 sdiFormatWord = 0xB0; // the SDI output format in use is its low byte
    bool sdiOutputsSwapped = false;
    quint64 fixedFlags = StatusPacket::OscillatorLocked;

    OutputStatePacket outputState;
    qint16 firstAlignment = 0;  // parameter code 18
    qint16 secondAlignment = 0; // parameter code 19
    BasicInfoBlock basicInfo;
    int calibrationLoads = 0;

    quint64 diskCapacity = 4'000'000'000'000ull; // bytes

    // The status record for the given clip length and free space.
    StatusPacket statusPacket(quint64 clipFrames, quint64 diskFree) const;
};
