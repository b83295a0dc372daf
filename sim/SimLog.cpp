#include "sim/SimLog.h"

#include <QJsonDocument>

#include <chrono>
#include <cstdio>

namespace {
qint64 monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

bool SimLog::open(const QString& path)
{
    auto file = std::make_unique<QFile>();
    bool ok;
    if (path == QLatin1String("-")) {
        ok = file->open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    } else {
        file->setFileName(path);
        ok = file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    }
    if (!ok)
        return false;
    std::lock_guard lock(mutex_);
    file_ = std::move(file);
    startNs_ = monotonicNs();
    return true;
}

void SimLog::write(quint64 recorderId, const QString& link, const char* dir, const char* kind, QJsonObject fields)
{
    if (!file_)
        return;
    fields.insert(QStringLiteral("rec"), QString::number(recorderId));
    fields.insert(QStringLiteral("link"), link);
    fields.insert(QStringLiteral("dir"), QLatin1String(dir));
    fields.insert(QStringLiteral("kind"), QLatin1String(kind));
    std::lock_guard lock(mutex_);
    fields.insert(QStringLiteral("t"), double(monotonicNs() - startNs_) / 1e6);
    QByteArray line = QJsonDocument(fields).toJson(QJsonDocument::Compact);
    line.append('\n');
    file_->write(line);
}
