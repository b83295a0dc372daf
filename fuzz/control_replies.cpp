// What the control program takes from a recorder: statuses, information blocks, output states
// and replies, one packet after another into the same records.
#include "FuzzSupport.h"

#include "control/manager/RecordUpdate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RecorderRecords records;
    fuzz::Pieces pieces(fuzz::bytes(data, size));
    while (!pieces.atEnd()) {
        const std::vector<char> packet = pieces.next();
        const RecordUpdate::Result result = RecordUpdate::apply(records, fuzz::view(packet));
        if (result.firmwareStatus)
            fuzz::require(result.firmwareStatus->size() <= qsizetype(packet.size()));
    }
    return 0;
}
