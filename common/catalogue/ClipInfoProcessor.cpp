#include "common/catalogue/ClipInfoProcessor.h"

#include <algorithm>

bool ClipInfoProcessor::process(QByteArrayView packet)
{
    const auto decoded = kvx::ClipInfoPacket::decode(packet);
    if (!decoded) {
        failed_ = true;
        return false;
    }
    if (decoded->listId != listId_) {
        pending_.clear();
        gathered_ = 0;
        listId_ = decoded->listId;
        failed_ = false;
    }
    if (failed_)
        return false;

    gathered_ += decoded->entries.size();
    if (gathered_ > decoded->totalClips) {
        // More entries than announced, typically a packet of a finished transmission sent again:
        // the transmission can no longer complete, so stop gathering instead of growing the list.
        failed_ = true;
        return false;
    }
    for (const auto& entry : decoded->entries)
        pending_.append({entry, decoded->listTag});
    if (gathered_ < decoded->totalClips)
        return false; // wait for the other packets

    std::sort(pending_.begin(), pending_.end(),
              [](const Record& a, const Record& b) { return a.info.clipNumber < b.info.clipNumber; });
    const bool countChanged = pending_.size() != completed_.size();
    completed_ = pending_;
    return countChanged;
}
