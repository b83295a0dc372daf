#include "storage/StoreFile.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QMutexLocker>

StoreFile::~StoreFile()
{
    close();
}

bool StoreFile::open(std::optional<qint64> size)
{
    QMutexLocker lock(&mutex_);
    // Unbuffered: a write that fails must fail in writeAt, not later in a flush nobody checks.
    if (!file_.isOpen() && !file_.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        qDebug().noquote() << "Cannot open" << file_.fileName() << file_.errorString();
        return false;
    }
    if (size && !file_.resize(*size)) {
        qDebug().noquote() << "Cannot size" << file_.fileName() << "to" << *size << file_.errorString();
        return false;
    }
    return true;
}

void StoreFile::close()
{
    QMutexLocker lock(&mutex_);
    if (mapping_) {
        file_.unmap(mapping_);
        mapping_ = nullptr;
    }
    file_.close();
}

WriteResult StoreFile::writeAt(qint64 offset, const uchar* data, qint64 size)
{
    QMutexLocker lock(&mutex_);
    QElapsedTimer timer;
    timer.start();
    qint64 written = 0;
    while (written < size && file_.isOpen()) {
        if (!file_.seek(offset + written))
            break;
        const qint64 n = file_.write(reinterpret_cast<const char*>(data) + written, size - written);
        if (n <= 0) {
            qDebug().noquote() << "Write to" << file_.fileName() << "stopped:" << file_.errorString();
            break;
        }
        written += n;
    }
    WriteResult result;
    result.complete = written == size;
    result.bytesWritten = quint64(written);
    result.elapsedMs = quint32(timer.elapsed());
    return result;
}

const uchar* StoreFile::map(qint64* length)
{
    QMutexLocker lock(&mutex_);
    *length = 0;
    if (mapping_) {
        file_.unmap(mapping_);
        mapping_ = nullptr;
    }
    const qint64 size = file_.size();
    if (!file_.isOpen() || size <= 0)
        return nullptr;
    mapping_ = file_.map(0, size);
    if (mapping_)
        *length = size;
    return mapping_;
}
