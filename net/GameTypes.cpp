#include "net/GameTypes.h"

#include <array>

namespace net {

namespace {
struct GameTypeInfo {
    const char16_t* longName;
    std::uint16_t table;
    std::uint16_t ballSet;
    bool pocket;
};

// Tables and ball sets are the offline defaults; types 2 and 11 take those of their family.
constexpr std::array<GameTypeInfo, kGameTypeCount> kGameTypes = {{
    {u"4-Ball", 1020, 2003, false},
    {u"", 0, 0, false},
    {u"1-Cushion Gamble", 1024, 2004, false},
    {u"3-Cushion (Korean rules)", 1027, 2004, false},
    {u"3-Cushion", 1024, 2004, false},
    {u"3-Cushion Gamble", 1025, 2004, false},
    {u"Six Ball", 1027, 2008, false},
    {u"", 0, 0, false},
    {u"", 0, 0, false},
    {u"", 0, 0, false},
    {u"8-Ball", 1030, 2006, true},
    {u"Card Ball", 1030, 2006, true},
    {u"9-Ball", 1032, 2006, true},
    {u"14-1 Straight", 1033, 2006, true},
    {u"", 0, 0, false},
    {u"", 0, 0, false},
    {u"Snooker", 1035, 2007, true},
}};
}  // namespace

bool GameTypeHasRules(int type) {
    return IsValidGameType(type) && kGameTypes[type].table != 0;
}
bool IsPocketGame(int type) {
    return IsValidGameType(type) && kGameTypes[type].pocket;
}
WStringView GameTypeLongName(int type) {
    return IsValidGameType(type) ? kGameTypes[type].longName : u"";
}
std::uint16_t DefaultTableOfGameType(int type) {
    return IsValidGameType(type) ? kGameTypes[type].table : 0;
}
std::uint16_t DefaultBallSetOfGameType(int type) {
    return IsValidGameType(type) ? kGameTypes[type].ballSet : 0;
}

}  // namespace net
