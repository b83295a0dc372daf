#pragma once

#include <QString>
#include <QStringList>

// What the encoder runner decides without a window: the two command lines, the progress read
// from FFmpeg's console text, and whether a finished run succeeded.
namespace encoderrun {

// The renderer's arguments: the clip folder, standard output, the trims.
QStringList rendererArguments(const QString& clipFolder, qint64 lowerTrim, qint64 upperTrim);
// FFmpeg's arguments: the dialog's text split at white space, then the output file.
QStringList ffmpegArguments(const QString& arguments, const QString& outputFile);

// The frame count of FFmpeg's last statistics line ("frame=  123 fps=..."); -1 before the first.
qint64 framesDone(const QString& console);
// "Frame 40 of 200, 12.5 frames/s, about 13 s left".
QString progressText(qint64 done, qint64 total, double elapsedSeconds);
// The last count non-empty lines of text, progress lines split at carriage returns.
QString lastLines(const QString& text, int count);

struct Outcome {
    bool aborted = false;
    bool rendererExitedCleanly = false; // ended by itself with exit code 0
    bool ffmpegExitedCleanly = false;
    bool outputWriteFailed = false; // FFmpeg said so, even if it then exited with 0
    qint64 framesExpected = 0;
    qint64 framesDone = -1;
    QString ffmpegConsole;
    QString rendererErrors;
    QString outputFile; // as FFmpeg was given it
    bool outputLeft = false;
};

// Whether FFmpeg's console text tells of an output it could not write (FFmpeg 5.1 exits with 0
// after "No space left on device" while closing the file).
bool outputWriteFailed(const QString& console);

bool succeeded(const Outcome& outcome);
// What the user is told when a run ended other than in success.
QString failureText(const Outcome& outcome);
// Whether FFmpeg wrote anything: the movie file, or the first image of a sequence.
bool outputExists(const QString& outputFile);
// The output named for the user: an image sequence by its pattern, "%%" back to "%".
QString shownOutput(const QString& outputFile);

} // namespace encoderrun
