#pragma once
// Codes of the item shop: the network messages it sends and reads, the application messages its
// windows post, the control ids of its widgets and the limits of its views.

#include <cstdint>

#include "scenes/shared/PurchaseRules.h"

namespace scenes {

// Network messages of the shop (bodies in docs/protocol.md).
namespace shop_net {
constexpr std::uint16_t kProfile = 211;
constexpr std::uint16_t kMembership = 500;  // C->S
constexpr std::uint16_t kMembershipResult = 501;
constexpr std::uint16_t kShopNothing = 503;
constexpr std::uint16_t kPurchase = 507;  // C->S
constexpr std::uint16_t kGift = 508;      // C->S
constexpr std::uint16_t kClanGift = 509;  // C->S
constexpr std::uint16_t kPurchaseResult = 510;
constexpr std::uint16_t kUseItem = 512;  // C->S
constexpr std::uint16_t kActivateResult = 513;
constexpr std::uint16_t kNickChangeResult = 514;
constexpr std::uint16_t kUseResult = 516;
constexpr std::uint16_t kUseDefaultResult = 518;
constexpr std::uint16_t kDefaultItem = 522;
constexpr std::uint16_t kDeleteItem = 524;  // C->S
constexpr std::uint16_t kDeleteResult = 525;
constexpr std::uint16_t kPartsResult = 535;
constexpr std::uint16_t kUpgradeResult = 537;
constexpr std::uint16_t kRepairResult = 539;
constexpr std::uint16_t kResetResult = 541;
constexpr std::uint16_t kLeaveShop = 1146;  // C->S u8 0
constexpr std::uint16_t kRemainingCount = 2045;
}  // namespace shop_net

// Application messages the shop handles or its windows post (code, a, b, c).
namespace shop_message {
constexpr std::uint32_t kCharacter = 258;
constexpr std::uint32_t kMoneyChanged = 1068;
constexpr std::uint32_t kItemsChanged = 1069;
constexpr std::uint32_t kMoneyChanged2 = 1070;
constexpr std::uint32_t kToLobby = 1071;
constexpr std::uint32_t kCashPage = 1079;     // a = 2052: open the cash page in the browser
constexpr std::uint32_t kCheckUse = 1080;     // the detail panel's "use"
constexpr std::uint32_t kCheckDelete = 1081;  // the detail panel's "delete"
constexpr std::uint32_t kUseItem = 1082;      // a = low 32 bits of the serial, b = mode, c = high 32 bits
constexpr std::uint32_t kOpenPurchase = purchase_message::kOpenPurchase;
constexpr std::uint32_t kCuePurchaseOk = 1099;
constexpr std::uint32_t kPartsPurchaseOk = 1100;
constexpr std::uint32_t kUpgradeOk = 1101;
constexpr std::uint32_t kRepairOk = 1102;
constexpr std::uint32_t kPurchaseConfirmed = purchase_message::kPurchaseConfirmed;
constexpr std::uint32_t kMembershipConfirmed = 1104;
constexpr std::uint32_t kShowImagePanel = 1107;
constexpr std::uint32_t kShowPicture = 1108;
constexpr std::uint32_t kDeleteConfirmed = 1109;
constexpr std::uint32_t kCashPageClosed = 1126;
// The project's own code: replies that arrived on the dispatch thread wait for the main thread.
constexpr std::uint32_t kRepliesQueued = 1170;
}  // namespace shop_message

// Control ids of the shop scene and its windows.
namespace shop_control {
constexpr std::uint32_t kToLobby = 0;
constexpr std::uint32_t kSettings = 1;
constexpr std::uint32_t kMyInfo = 4;
constexpr std::uint32_t kMessenger = 5;
constexpr std::uint32_t kShopTab = 10;
constexpr std::uint32_t kInventoryTab = 11;
constexpr std::uint32_t kShopScroll = 15;
constexpr std::uint32_t kInventoryScroll = 16;
constexpr std::uint32_t kUse = 17;
constexpr std::uint32_t kDelete = 18;
constexpr std::uint32_t kImagePanel = 124;
constexpr std::uint32_t kPersonalCue = 125;
constexpr std::uint32_t kMembership = 128;
constexpr std::uint32_t kCashCharge = 129;
constexpr std::uint32_t kBuy = 130;
constexpr std::uint32_t kGift = 131;
constexpr std::uint32_t kClanGift = 132;
constexpr std::uint32_t kFirstShopCard = 300;
constexpr std::uint32_t kFirstInventoryCard = 400;
constexpr std::uint32_t kShopCategoryBase = 600;
constexpr std::uint32_t kInventoryCategoryBase = 650;
constexpr std::uint32_t kClose = 2049;
constexpr std::uint32_t kOk = 2050;
constexpr std::uint32_t kCancel = 2051;
constexpr std::uint32_t kYes = 2052;
constexpr std::uint32_t kNo = 2053;
}  // namespace shop_control

// Card hover events (the event value of a card).
constexpr std::int32_t kCardMouseEnter = 1028;
constexpr std::int32_t kCardMouseLeave = 1029;

constexpr int kCardsPerGrid = 8;
constexpr int kCardsPerRow = 4;

// Shop categories (button 600 + category) and inventory categories (button 650 + category).
namespace shop_category {
constexpr int kCues = 1;
constexpr int kBalls = 2;
constexpr int kTables = 3;
constexpr int kItems = 4;
constexpr int kAll = 7;
constexpr int kSpecial = 8;
constexpr int kInUse = 9;
constexpr int kNotInUse = 10;
}  // namespace shop_category

// Item ids the shop treats apart.
namespace shop_item {
constexpr std::uint32_t kPracticeTime = purchase_item::kPracticeTime;
constexpr std::uint32_t kSuspendedCue = 3104;
constexpr std::uint32_t kNickChange = 4102;
constexpr std::uint32_t kFirstCustomCue = purchase_item::kFirstCustomCue;
constexpr std::uint32_t kLastCustomCue = purchase_item::kLastCustomCue;
constexpr std::uint32_t kNotImplemented1 = 4103;
constexpr std::uint32_t kNotImplemented2 = 4104;
constexpr std::uint32_t kAllSkills = 4510;
}  // namespace shop_item

}  // namespace scenes
