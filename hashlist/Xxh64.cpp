#include "hashlist/Xxh64.h"

#include <QFile>

#include <xxhash.h>

#include <algorithm>
#include <cctype>

#include <vector>

struct Xxh64::State {
    XXH64_state_t* state = XXH64_createState();
    ~State() { XXH64_freeState(state); }
};

Xxh64::Xxh64() : state_(std::make_unique<State>())
{
    XXH64_reset(state_->state, 0);
}

Xxh64::~Xxh64() = default;

void Xxh64::update(const void* data, qint64 size)
{
    if (size > 0)
        XXH64_update(state_->state, data, size_t(size));
}

quint64 Xxh64::digest() const
{
    return XXH64_digest(state_->state);
}

QString Xxh64::hex(quint64 digest)
{
    return QStringLiteral("%1").arg(digest, 16, 16, QLatin1Char('0'));
}

std::optional<quint64> Xxh64::parseHex(QStringView text)
{
    if (text.size() != 16)
        return std::nullopt;
    bool ok = false;
    const quint64 value = text.toULongLong(&ok, 16);
    // toULongLong takes a leading sign or "0x"; 16 plain digits leave no room for them.
    if (!ok || !std::all_of(text.begin(), text.end(), [](QChar c) { return std::isxdigit(c.toLatin1()) != 0; }))
        return std::nullopt;
    return value;
}

std::optional<quint64> Xxh64::ofFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    Xxh64 hash;
    std::vector<char> chunk(8 << 20);
    for (;;) {
        const qint64 n = file.read(chunk.data(), qint64(chunk.size()));
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        hash.update(chunk.data(), n);
    }
    return hash.digest();
}
