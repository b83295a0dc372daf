// The Bluetooth link's frame reader, fed the byte stream in pieces of any size.
#include "FuzzSupport.h"

#include "common/packets/SerialFrame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kvx::SerialFrameReader reader;
    fuzz::Pieces pieces(fuzz::bytes(data, size));
    while (!pieces.atEnd()) {
        const std::vector<char> piece = pieces.next();
        reader.feed(fuzz::view(piece), [](QByteArrayView payload) {
            fuzz::require(payload.size() <= kvx::SerialFrame::MaxReceivedFrame - kvx::SerialFrame::Overhead);
            // A payload that fits a frame comes out of its own frame unchanged.
            if (const auto frame = kvx::SerialFrame::encode(payload)) {
                kvx::SerialFrameReader again;
                int delivered = 0;
                again.feed(*frame, [&](QByteArrayView copy) {
                    fuzz::require(copy == payload);
                    ++delivered;
                });
                fuzz::require(delivered == 1);
            }
        });
    }
    return 0;
}
