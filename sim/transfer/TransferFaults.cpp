#include "sim/transfer/TransferFaults.h"

bool FaultDice::roll(double percent)
{
    if (percent <= 0)
        return false;
    return std::uniform_real_distribution<double>(0, 100)(rng_) < percent;
}

FaultDice::Fate FaultDice::nextDataPacket()
{
    if (burstLeft_ > 0) {
        --burstLeft_;
        return Fate::Drop;
    }
    if (faults_.burstLength > 0 && roll(faults_.burstPercent)) {
        burstLeft_ = faults_.burstLength - 1;
        return Fate::Drop;
    }
    if (roll(faults_.lossPercent))
        return Fate::Drop;
    if (roll(faults_.duplicatePercent))
        return Fate::Duplicate;
    if (roll(faults_.reorderPercent))
        return Fate::HoldBack;
    return Fate::Send;
}
