#pragma once

#include <QtGlobal>

#include <map>
#include <utility>

// Where in a clip's calibration block a byte-mode chunk starts. The data request does not say:
// it only carries a chunk id. The receiving engine issues the chunks of one request in order,
// with consecutive chunk ids (mod 65536), each payload * packet count bytes long except the
// last. So the server keeps, per (receiver address, clip number), a stream with the next chunk
// id it expects, the offset that chunk starts at, and the offsets of the chunks already seen:
//  - a chunk id already seen (a resent request) gets its earlier offset again;
//  - the expected chunk id continues the stream at its next offset;
//  - any other id starts a new stream at offset 0 (a new calibration request).
// A stream that has run past the end of the block also starts again at 0.
class CalibrationStreams {
public:
    // Offset of the chunk in the block; the stream then expects chunkId + 1 at
    // offset + chunkBytes.
    quint64 offsetFor(quint32 receiverIPv4, quint32 clipNumber, quint64 chunkId, quint64 chunkBytes,
                      quint64 blockBytes);

private:
    struct Stream {
        quint64 nextChunkId = 0;
        quint64 nextOffset = 0;
        std::map<quint64, quint64> offsets; // chunk id -> offset
    };
    std::map<std::pair<quint32, quint32>, Stream> streams_;
};
