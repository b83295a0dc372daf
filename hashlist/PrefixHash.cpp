#include "hashlist/PrefixHash.h"

#include <QFile>
#include <QMutexLocker>

#include <algorithm>
#include <vector>

PrefixHash::PrefixHash(const QString& path, qint64 size) : path_(path), size_(size)
{}

void PrefixHash::noteWritten(qint64 offset, qint64 size)
{
    QMutexLocker lock(&mutex_);
    const qint64 end = std::min(offset + size, size_);
    if (size > 0 && end > hashed_) {
        qint64& known = ahead_[std::max(offset, hashed_)];
        known = std::max(known, end);
    }
}

void PrefixHash::written(qint64 offset, const uchar* data, qint64 size)
{
    QMutexLocker lock(&mutex_);
    const qint64 end = std::min(offset + size, size_);
    if (size <= 0 || end <= hashed_)
        return;
    // Blocks noted earlier that the prefix has reached are read first.
    catchUp(offset);
    if (end <= hashed_)
        return;
    if (offset > hashed_) {
        qint64& known = ahead_[offset];
        known = std::max(known, end);
        return;
    }
    hash_.update(data + (hashed_ - offset), end - hashed_);
    hashed_ = end;
    catchUp(size_);
}

bool PrefixHash::catchUp(qint64 until)
{
    if (readFailed_)
        return false;
    QFile file;
    while (!ahead_.isEmpty() && ahead_.firstKey() <= hashed_ && hashed_ < until) {
        const qint64 end = ahead_.first();
        ahead_.erase(ahead_.begin());
        if (end <= hashed_)
            continue;
        if (!file.isOpen()) {
            file.setFileName(path_);
            if (!file.open(QIODevice::ReadOnly)) {
                readFailed_ = true;
                return false;
            }
        }
        std::vector<char> chunk(size_t(std::min<qint64>(end - hashed_, 8 << 20)));
        if (!file.seek(hashed_)) {
            readFailed_ = true;
            return false;
        }
        while (hashed_ < end) {
            const qint64 n = file.read(chunk.data(), std::min<qint64>(qint64(chunk.size()), end - hashed_));
            if (n <= 0) {
                readFailed_ = true;
                return false;
            }
            hash_.update(chunk.data(), n);
            hashed_ += n;
        }
    }
    return true;
}

std::optional<quint64> PrefixHash::finish()
{
    QMutexLocker lock(&mutex_);
    if (hashed_ < size_)
        ahead_[hashed_] = size_;
    if (!catchUp(size_) || hashed_ != size_)
        return std::nullopt;
    return hash_.digest();
}

qint64 PrefixHash::hashedBytes() const
{
    QMutexLocker lock(&mutex_);
    return hashed_;
}
