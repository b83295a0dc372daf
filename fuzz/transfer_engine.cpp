// The receive side of the clip transfer fed a stream of datagrams while it fills a real
// destination. The destination is a heap block of exactly the request's size, so a write past
// it is an AddressSanitizer report.
//
// Input: a shape byte (bit 0: byte mode, else frame mode), the payload size, three bytes of
// request size and, in frame mode, four bytes of frame geometry; then pieces, each a control
// byte and a datagram (see datagramFor).
#include "FuzzSupport.h"

#include "common/packets/TransferPackets.h"
#include "transfer/ReceiveUDPEngine.h"

using kvx::ReceiveUDPEngine;

namespace {

// Control bits 0-1: 0 sends the piece as it is; 1, 2 and 3 make a data packet, an event or a
// status of the live chunk of the slot bit 2 picks, so the fuzzer need not guess chunk ids.
// Bit 3 runs an engine step first (chunks are issued and time-outs run there).
std::vector<char> datagramFor(quint8 control, std::vector<char> piece, const ReceiveUDPEngine& engine)
{
    const kvx::TransferSlot& slot = engine.slot(control >> 2 & 1);
    const auto at = [&piece](size_t i) { return i < piece.size() ? quint8(piece[i]) : quint8(0); };
    QByteArray made;
    switch (control & 3) {
    case 1: {
        kvx::TxPacketHead head;
        head.chunkId = slot.chunkId();
        head.index = quint32(at(0) | at(1) << 8);
        made.resize(kvx::TxPacketHead::Size);
        head.encodeInto(reinterpret_cast<uchar*>(made.data()));
        if (piece.size() > 2)
            made.append(piece.data() + 2, qsizetype(piece.size() - 2));
        break;
    }
    case 2: {
        kvx::TxEvent event;
        event.type = kvx::TxEvent::DataBegins + at(0) % 3;
        event.chunkId = slot.chunkId();
        event.slot = slot.number();
        event.errorCode = at(1) % 4;
        made = event.encode();
        break;
    }
    case 3: {
        kvx::TxStatus status;
        status.code = at(0) % 5;
        status.chunkId = slot.chunkId();
        status.slot = slot.number();
        made = status.encode();
        break;
    }
    default:
        return piece;
    }
    return std::vector<char>(made.begin(), made.end());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Pieces pieces(fuzz::bytes(data, size));
    const quint8 shape = pieces.byte();
    ReceiveUDPEngine engine;
    engine.setPayloadSize(pieces.byte() % 64 + 1);

    ReceiveUDPEngine::TransferRequest request;
    request.totalBytes = 1 + pieces.byte() + (quint64(pieces.byte()) << 8) + (quint64(pieces.byte() & 3) << 16);
    request.flags = ReceiveUDPEngine::FlagPassedToRecorder;
    if (shape & 1) {
        request.flags |= ReceiveUDPEngine::ByteMode;
    } else {
        request.lineBytes = pieces.byte() % 32 + 1;
        request.lineCount = pieces.byte() % 32 + 1;
        request.firstFrame = pieces.byte();
        request.lastFrame = request.firstFrame + pieces.byte() % 64;
    }
    std::vector<uchar> destination(request.totalBytes);
    request.destination = destination.data();
    engine.enqueue(request);

    while (!pieces.atEnd()) {
        const quint8 control = pieces.byte();
        if (control & 8)
            engine.process();
        const std::vector<char> datagram = datagramFor(control, pieces.next(), engine);
        engine.dispatch(reinterpret_cast<const uchar*>(datagram.data()), qsizetype(datagram.size()));
    }
    engine.process();
    return 0;
}
