// Gathering a recorder's clip list from a stream of clip list packets.
#include "FuzzSupport.h"

#include "common/catalogue/ClipInfoProcessor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ClipInfoProcessor processor;
    fuzz::Pieces pieces(fuzz::bytes(data, size));
    while (!pieces.atEnd()) {
        const std::vector<char> packet = pieces.next();
        if (const auto decoded = kvx::ClipInfoPacket::decode(fuzz::view(packet)))
            fuzz::requireStableEncoding(*decoded, kvx::ClipInfoPacket::decode);
        processor.process(fuzz::view(packet));
        const QList<ClipInfoProcessor::Record>& clips = processor.clips();
        for (qsizetype i = 1; i < clips.size(); ++i)
            fuzz::require(clips[i - 1].info.clipNumber <= clips[i].info.clipNumber);
    }
    return 0;
}
