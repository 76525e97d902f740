#pragma once
// The shop's arithmetic and fixed texts, apart from its widgets: the membership prices (the club
// discount is shared with the room, scenes/shared/PurchaseRules.h), the repair loss and the texts of the
// server's result codes.

#include <cstdint>

#include "engine/core/Text.h"
#include "scenes/shared/PurchaseRules.h"

namespace scenes {

// Cash price of a membership kind (1 basic, 2 standard, 3 plus) for period 1 (30 days) or 2 (90
// days); 0 for an unknown kind.
std::int64_t MembershipPrice(int kind, int period);
// Cue money a membership purchase grants at once (only the plus kind grants any).
std::int64_t MembershipCueMoney(int kind, int period);

// Durability points a repair lost (thousandths in, whole points out, a partial point counts as
// one); 0 when nothing was lost, however the server's values compare.
int RepairLoss(std::uint32_t oldInitial, std::uint32_t newDurability);

// How a result code of a shop reply is shown.
enum class ReplyBox { None, Error, Notice, SecondNotice };
struct ReplyText {
    ReplyBox box = ReplyBox::None;
    WString line1;
    WString line2;
};
// The text of a non-zero result of reply `messageId`; box None when that result shows nothing.
ReplyText ReplyErrorText(std::uint16_t messageId, std::uint8_t result);

inline constexpr char16_t kReconnectLine[] = u"결과 확인을 위해 재접속 하시기 바랍니다.";

}  // namespace scenes
