#include "gui/GameTypeName.h"

#include <array>

#include "net/GameTypes.h"

namespace gui {

namespace {
constexpr std::array<const char16_t*, net::kGameTypeCount> kShortNames = {
    u"4-Ball", u"", u"1-Cushion", u"3-Cushion(K)", u"3-Cushion", u"3C Gamble", u"6-Ball",
    u"",       u"", u"",          u"8-Ball",       u"Card Ball", u"9-Ball",    u"14-1",
    u"",       u"", u"Snooker",
};
}  // namespace

WStringView GameTypeName(int gameType) {
    return net::IsValidGameType(gameType) ? kShortNames[static_cast<std::size_t>(gameType)] : u"";
}

}  // namespace gui
