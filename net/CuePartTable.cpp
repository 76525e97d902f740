#include "net/CuePartTable.h"

namespace net {

namespace {
constexpr int kPartsPerGroup = 8;
constexpr const char16_t* kGroupNames[kCueParts] = {u"shaft", u"butt", u"joint", u"bumper", u"cue tip"};
constexpr const char16_t* kOptionNames[kCueOptions] = {u"Shot power", u"Power balance", u"Spin up",
                                                       u"Miscue dec.", u"Squirt dec."};
}  // namespace

CuePartTable::CuePartTable() {
    for (int g = 0; g < kCueParts; ++g) {
        for (int i = 0; i < kPartsPerGroup; ++i) {
            CuePartRow row;
            row.group = static_cast<std::uint16_t>(g);
            row.index = static_cast<std::uint16_t>(i);
            row.model = static_cast<std::uint32_t>(0x5000 + g * 0x100 + i);
            // Parts 0..3 sell for cue money, the finer 4..7 for cash.
            row.currency = i < 4 ? 0 : 1;
            row.price = i < 4 ? 20000 + 10000 * i : 1000 + 500 * (i - 4);
            row.requiredLevel = static_cast<std::int8_t>(i < 2 ? 0 : i * 2);
            const auto group = static_cast<CuePartGroup>(g);
            if (group != CuePartGroup::Bumper) row.limit1 = static_cast<std::int8_t>(20 + 5 * i);
            if (group == CuePartGroup::Bumper || group == CuePartGroup::Tip)
                row.limit2 = static_cast<std::int8_t>(10 + 5 * i);
            groups_[g].push_back(row);
        }
    }
}

const CuePartRow* CuePartTable::Find(int group, int index) const {
    platform::ScopedLock lock(lock_);
    if (group < 0 || group >= kCueParts || index < 0 || index >= static_cast<int>(groups_[group].size()))
        return nullptr;
    return &groups_[group][index];
}

int CuePartTable::RowCount(int group) const {
    platform::ScopedLock lock(lock_);
    return group >= 0 && group < kCueParts ? static_cast<int>(groups_[group].size()) : 0;
}

WStringView CuePartTable::GroupName(int group) {
    return group >= 0 && group < kCueParts ? kGroupNames[group] : u"";
}
WStringView CuePartTable::OptionName(int option) {
    return option >= 0 && option < kCueOptions ? kOptionNames[option] : u"";
}

const CuePartTable& GetCuePartTable() {
    static const CuePartTable table;
    return table;
}

bool TuningCueSpec::SetPart(int group, int index) {
    const CuePartRow* row = GetCuePartTable().Find(group, index);
    if (!row) return false;
    partIndex[group] = static_cast<std::uint16_t>(index);
    partModel[group] = row->model;
    return true;
}

}  // namespace net
