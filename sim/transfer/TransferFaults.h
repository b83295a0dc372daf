#pragma once

#include <QtGlobal>

#include <random>

// Faults the transfer server injects into what it sends, each off by default. All random
// decisions come from one generator seeded with `seed`, so a run can be repeated exactly.
struct TransferFaults {
    quint64 seed = 1;
    double lossPercent = 0;        // each data packet dropped with this probability
    double burstPercent = 0;       // probability that a data packet starts a burst of losses
    int burstLength = 0;           // packets dropped by one burst
    double duplicatePercent = 0;   // data packet sent twice
    double reorderPercent = 0;     // data packet held back and sent after the next one
    int delayMs = 0;               // every answer to a request, query or missing list is late
    double dropControlPercent = 0; // events 4/5 and status replies dropped
    qint64 errorAfterPackets = -1; // after this many data packets: error event, chunk ends
    quint32 errorCode = 1;         // its code
    qint64 stopAfterPackets = -1;  // after this many data packets: the server goes silent
    int resumeAfterMs = 0;         // ...and answers again after this long (0: never)

    bool any() const
    {
        return lossPercent > 0 || burstPercent > 0 || duplicatePercent > 0 || reorderPercent > 0 || delayMs > 0
            || dropControlPercent > 0 || errorAfterPackets >= 0 || stopAfterPackets >= 0;
    }
};

// The dice of one server: decides per packet from the configured fault rates.
class FaultDice {
public:
    explicit FaultDice(const TransferFaults& faults) : faults_(faults), rng_(faults.seed) {}

    enum class Fate { Send, Drop, Duplicate, HoldBack };
    // What happens to the next data packet.
    Fate nextDataPacket();
    // Whether the next event or status reply is dropped.
    bool dropControl() { return roll(faults_.dropControlPercent); }

private:
    bool roll(double percent);

    TransferFaults faults_;
    std::mt19937_64 rng_;
    int burstLeft_ = 0;
};
