#pragma once

#include <QtGlobal>

class QIODevice;
class SavedClip;

namespace kvx {

// Inclusive range of frame indices a command-line export writes.
struct ExportRange {
    qint64 first = 0;
    qint64 last = -1;
    qint64 count() const { return last - first + 1; }
};

// The whole clip (0 to frameCount - 1) unless lowerTrim <= upperTrim, in which case each trim
// inside the clip replaces its end. Empty for a clip without frames.
ExportRange exportRange(qint64 frameCount, qint64 lowerTrim, qint64 upperTrim);

// Temporal window for frame: 7 frames where three neighbours exist on both sides, else 1.
int exportSpan(qint64 frame, qint64 frameCount);

struct CommandLineExportJob {
    SavedClip* clip = nullptr;
    QIODevice* output = nullptr;
    int outputWidth = 0; // 0: the clip's own output size
    int outputHeight = 0;
    qint64 lowerTrim = 0;
    qint64 upperTrim = 0;
};

// Renders the job's frames through the processing pipeline off screen and writes each as
// outputWidth x outputHeight x 3 bytes of 8-bit RGB, top row first. Failures are written to
// the debug log; false means the program must end with exit code 1.
bool runCommandLineExport(const CommandLineExportJob& job);

} // namespace kvx
