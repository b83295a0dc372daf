#include "common/packets/PacketMagic.h"

Q_LOGGING_CATEGORY(lcPackets, "vlm.packets")

namespace kvx {

void logRejected(const char* packet, qsizetype size, qsizetype needed)
{
    qCDebug(lcPackets, "Rejected %s: %lld bytes, another magic or fewer than the %lld it needs", packet,
            qlonglong(size), qlonglong(needed));
}

} // namespace kvx
