#pragma once
// The world's cue objects: one per cue item and set of tuning parts, shared by every seat that
// holds that cue and counted, so that a cue is built once and dropped when its last user lets go.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/sys/CriticalSection.h"

namespace table {

struct CueObject {
    std::uint16_t item = 0;
    std::array<std::int32_t, 5> parts{-1, -1, -1, -1, -1};  // tuning-part ids, -1 for none
    std::uint8_t model = 0;                                 // the model "Cue<n>"
    std::uint32_t useCount = 0;
};

class CueRegistry {
public:
    // The cue object of that item and those parts, made when there is none; one more user.
    CueObject* Acquire(std::uint16_t item, const std::array<std::int32_t, 5>& parts);
    // One user less; the object is deleted at zero. False (nothing changes) for an object this
    // registry does not hold, so a stale pointer can never free another cue.
    bool Release(const CueObject* cue);
    std::size_t Count() const;

private:
    mutable platform::CriticalSection lock_;
    std::vector<std::unique_ptr<CueObject>> cues_;
};

}  // namespace table
