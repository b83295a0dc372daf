#pragma once

#include <QFile>
#include <QJsonObject>
#include <QString>

#include <memory>
#include <mutex>

// The simulator's machine-readable log: one JSON object per line, one line per packet received
// and per event. Every line carries "t" (monotonic milliseconds since the log was opened, with
// fractions), "rec" (recorder id), "link" (link address), "dir" ("in", "out" or "event") and
// "kind"; further keys depend on the kind. Safe to use from any thread.
class SimLog {
public:
    SimLog() = default; // a log that writes nothing
    // path "-" is standard output. False when the file cannot be opened.
    bool open(const QString& path);
    bool enabled() const { return file_ != nullptr; }

    void write(quint64 recorderId, const QString& link, const char* dir, const char* kind, QJsonObject fields = {});

private:
    std::unique_ptr<QFile> file_;
    std::mutex mutex_;
    qint64 startNs_ = 0;
};
