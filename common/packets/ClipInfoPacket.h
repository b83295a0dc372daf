#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

namespace kvx {

// One packet of a transmission of a recorder's clip list.
struct ClipInfoPacket {
    static constexpr qsizetype HeadSize = 16;

    // The recorder's 48-byte description of one clip.
    struct clipInfo {
        static constexpr qsizetype Size = 48;
        static constexpr quint32 ExplicitFrameBytesFlag = 0x40;

        quint32 cameraSerial = 0;
        quint32 unnamed4 = 0; // not read by the catalogue
        quint64 totalFrames = 0;
        quint64 clipUid = 0;
        quint32 frameBytes = 0;
        float fps = 0.0f;
        quint32 flags = 0;
        quint16 lineBytes = 0;
        quint16 lineCount = 0;
        quint16 width = 0;
        quint16 height = 0;
        quint16 clipNumber = 0;
        quint16 clipVersion = 0;

        // Two descriptions name the same clip when these five fields agree.
        bool sameClip(const clipInfo& other) const
        {
            return clipUid == other.clipUid && clipNumber == other.clipNumber && totalFrames == other.totalFrames
                && cameraSerial == other.cameraSerial && clipVersion == other.clipVersion;
        }

        void encodeInto(uchar* out) const;
        static clipInfo decodeFrom(const uchar* in);
        bool operator==(const clipInfo&) const = default;
    };

    quint16 unnamed4 = 0;
    quint16 listId = 0;
    quint16 totalClips = 0;
    quint16 listTag = 0;
    quint16 unnamed14 = 0;
    QList<clipInfo> entries; // clipCount = entries.size()

    QByteArray encode() const;

    // Head only, for a caller that must judge the length against clipCount itself.
    struct Head {
        quint16 listId = 0;
        quint16 totalClips = 0;
        quint16 clipCount = 0;
        quint16 listTag = 0;
    };
    static std::optional<Head> decodeHead(QByteArrayView datagram);
    // Fails for a datagram shorter than its head plus 48 bytes per announced entry.
    static std::optional<ClipInfoPacket> decode(QByteArrayView datagram);
};

} // namespace kvx
