#pragma once

#include <QString>

// What the main window shows for a clip's download progress.
struct DownloadProgress {
    static constexpr int BarMaximum = 1000;

    QString text; // empty once the download is complete
    int barValue = 0;
    bool finished = false;

    // nFrames of nTotFrames stored; label names the clip, speedGbps is the write speed so far.
    static DownloadProgress of(qint64 nFrames, qint64 nTotFrames, const QString& label, double speedGbps);
    // The line shown when a download gave up: what is stored and why it stopped.
    static QString stoppedText(const QString& label, qint64 nFrames, qint64 nTotFrames, const QString& reason);
};
