#pragma once
// The parts of custom and tuning cues: five groups ("shaft", "butt", "joint", "bumper", "cue tip") of
// numbered parts with their price and the option limits they carry.

#include <array>
#include <cstdint>
#include <vector>

#include "engine/core/Text.h"
#include "net/ItemEntry.h"
#include "platform/sys/CriticalSection.h"

namespace net {

enum class CuePartGroup : std::uint16_t { Shaft = 0, Butt = 1, Joint = 2, Bumper = 3, Tip = 4 };

struct CuePartRow {
    std::uint16_t group = 0;
    std::uint16_t index = 0;
    std::uint32_t model = 0;     // model id of the part, used by the part previews
    std::uint32_t currency = 0;  // 1 cash, else cue money
    std::int32_t price = 0;
    std::int8_t requiredLevel = 0;
    std::int8_t limit1 = 0;
    std::int8_t limit2 = 0;
};

class CuePartTable {
public:
    CuePartTable();
    // The row, or null for a group or index out of range. Rows never move, so the pointer stays valid.
    const CuePartRow* Find(int group, int index) const;
    int RowCount(int group) const;
    // 20-character names of the groups and of the five options; empty out of range.
    static WStringView GroupName(int group);
    static WStringView OptionName(int option);

private:
    mutable platform::CriticalSection lock_;
    std::array<std::vector<CuePartRow>, kCueParts> groups_;
};

const CuePartTable& GetCuePartTable();

// A cue as the previews build it: item id, and per group the part index and the part's model.
struct TuningCueSpec {
    std::uint32_t itemId = 0;
    std::array<std::uint16_t, kCueParts> partIndex{};
    std::array<std::uint32_t, kCueParts> partModel{};

    // False (the cue left unchanged) for a group or index the table does not have.
    bool SetPart(int group, int index);
};

}  // namespace net
