#pragma once

#include "common/packets/ClipInfoPacket.h"

// Deterministic content of a simulated clip: frames and calibration block are computed from the
// clip's description and a byte position, so a test can check a download byte by byte without
// keeping a copy of the data.

// Per-pixel calibration polynomial c0 + c1*p + c2*p^2 + c3*p^3, in signed 16-bit units with 10
// fraction bits (1024 = 1.0). Every pixel gets the base value plus a deterministic jitter of at
// most +-jitter on each coefficient, so a misplaced byte of the block is noticed.
struct CalibrationModel {
    qint16 c0 = 8;    // small lift of the black level
    qint16 c1 = 1064; // ~1.04 gain
    qint16 c2 = -32;  // slight compression of the highlights
    qint16 c3 = 12;   // keeps c2^2 - 3*c3*c1 negative: the curve never folds over
    qint16 jitter = 6;
};

struct SimClip {
    kvx::ClipInfoPacket::clipInfo info;
    CalibrationModel calibration;
};

// Bytes of one stored frame: frameBytes when flag 0x40 is set, else lineBytes * lineCount.
quint64 frameSize(const SimClip& clip);
// Bytes of the whole frame area: totalFrames * frameSize.
quint64 clipBytes(const SimClip& clip);
// Bytes of the calibration block: width * height * 8.
quint64 calibrationBytes(const SimClip& clip);

// Writes frameCount whole frames starting at firstFrame.
void fillFrames(const SimClip& clip, quint64 firstFrame, quint64 frameCount, uchar* out);
// Writes n bytes of the frame area starting at byteOffset (frame k starts at k * frameSize).
void fillClipBytes(const SimClip& clip, quint64 byteOffset, qsizetype n, uchar* out);
// Writes n bytes of the calibration block starting at byteOffset. Bytes past the block's end
// are written as zero.
void fillCalibration(const SimClip& clip, quint64 byteOffset, qsizetype n, uchar* out);

// The four coefficients the block holds for pixel index p (row * width + column).
struct PixelCoefficients {
    qint16 c[4];
};
PixelCoefficients calibrationAt(const SimClip& clip, quint64 pixel);
