// The recorder's table of colour matrices (the payload of its code 15 reply) and the blend the
// clips manager makes of it.
#include "FuzzSupport.h"

#include "common/packets/ColorMatrixTable.h"
#include "render/colour/ColorMatrixSet.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto table = ColorMatrixTable::decode(fuzz::bytes(data, size));
    if (!table)
        return 0;
    fuzz::require(table->records.size() <= (qsizetype(size) - ColorMatrixTable::HeadSize) / ColorMatrixRecord::Size);
    fuzz::requireStableEncoding(*table, ColorMatrixTable::decode);
    ColorMatrixSet set;
    set.records = table->records;
    for (const double t : {0.0, 0.5, 1.0, double(table->value) / 1024.0, std::nan("")})
        (void)set.interpolate(t);
    return 0;
}
