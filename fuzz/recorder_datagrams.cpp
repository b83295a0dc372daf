// What the clips manager takes from a recorder's command port: clip lists, output states and
// parameter replies (the colour matrices among them), in any order.
#include "FuzzSupport.h"

#include "download/RecorderDownloadManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RecorderDownloadManager manager;
    fuzz::Pieces pieces(fuzz::bytes(data, size));
    while (!pieces.atEnd())
        manager.processDatagram(fuzz::view(pieces.next()));
    return 0;
}
