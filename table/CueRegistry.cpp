#include "table/CueRegistry.h"

#include <algorithm>

#include "table/TableItems.h"

namespace table {

CueObject* CueRegistry::Acquire(std::uint16_t item, const std::array<std::int32_t, 5>& parts) {
    platform::ScopedLock guard(lock_);
    for (auto& cue : cues_)
        if (cue->item == item && cue->parts == parts) {
            ++cue->useCount;
            return cue.get();
        }
    auto cue = std::make_unique<CueObject>();
    cue->item = item;
    cue->parts = parts;
    cue->model = CueModelOfItem(item);
    cue->useCount = 1;
    cues_.push_back(std::move(cue));
    return cues_.back().get();
}

bool CueRegistry::Release(const CueObject* cue) {
    platform::ScopedLock guard(lock_);
    auto it = std::find_if(cues_.begin(), cues_.end(), [cue](const auto& c) { return c.get() == cue; });
    if (it == cues_.end()) return false;
    if (--(*it)->useCount == 0) cues_.erase(it);
    return true;
}

std::size_t CueRegistry::Count() const {
    platform::ScopedLock guard(lock_);
    return cues_.size();
}

}  // namespace table
