#include "scenes/shop/ShopText.h"

#include "scenes/shop/ShopCodes.h"

namespace scenes {

namespace {
struct MembershipRow {
    std::int64_t days30, days90, cueMoney30, cueMoney90;
};
constexpr MembershipRow kMembership[] = {
    {4'500, 12'500, 0, 0},
    {9'800, 26'000, 0, 0},
    {18'400, 49'000, 300'000, 900'000},
};
}  // namespace

std::int64_t MembershipPrice(int kind, int period) {
    if (kind < 1 || kind > 3) return 0;
    const MembershipRow& row = kMembership[kind - 1];
    return period == 2 ? row.days90 : row.days30;
}

std::int64_t MembershipCueMoney(int kind, int period) {
    if (kind < 1 || kind > 3) return 0;
    const MembershipRow& row = kMembership[kind - 1];
    return period == 2 ? row.cueMoney90 : row.cueMoney30;
}

int RepairLoss(std::uint32_t oldInitial, std::uint32_t newDurability) {
    const std::int64_t lost =
        static_cast<std::int64_t>(oldInitial) - static_cast<std::int64_t>(newDurability);
    if (lost <= 0) return 0;
    return static_cast<int>(static_cast<double>(lost) / 1000.0 + 0.9);
}

ReplyText ReplyErrorText(std::uint16_t id, std::uint8_t result) {
    using B = ReplyBox;
    const WString reconnect = kReconnectLine;
    if (result == 0) return {};
    switch (id) {
        case shop_net::kMembershipResult:
            switch (result) {
                case 1:
                    return {B::Error, u"데이터가 잘못되었습니다.", reconnect};
                case 2:
                    return {B::Error, u"캐시가 부족합니다.", reconnect};
                case 3:
                    return {B::Error, u"구입 처리에 오류가 있습니다.", reconnect};
                case 4:
                    return {B::Error, u"이미 마르베클럽에 가입된 사용자입니다.",
                            u"기간 연장은 당분간 사용할 수 없습니다."};
                case 5:
                    return {B::Error, u"기간 처리에 오류가 있습니다.", u"관리자에게 문의하세요."};
                case 6:
                    return {B::Error, u"다른 종류로 변경은 불가능합니다.",
                            u"기간종료 후 전환하시기 바랍니다."};
                default:
                    return {};
            }
        case shop_net::kPurchaseResult:
            switch (result) {
                case 1:
                    return {B::Error, u"구입 처리에 오류가 있습니다.", reconnect};
                case 2:
                    return {B::Error, u"Not enough money.", {}};
                case 4:
                    return {B::Error, u"The user does not exist. Check nickname.", {}};
                case 5:
                    return {B::Error, u"판매중인 아이템이 아닙니다.", u"아이템 구입에 실패하였습니다."};
                case 6:
                    return {B::Error, u"DB Error occured.", u"Failed to purchase item."};
                case 7:
                    return {B::Error, u"아이템풀이 부족하여 구입할 수 없습니다.", u"나중에 다시 시도하세요."};
                default:
                    return {};
            }
        case shop_net::kActivateResult:
            return {B::Error, u"Failed to use the item.", u"Please reconnect to check the result."};
        case shop_net::kNickChangeResult:
            switch (result) {
                case 1:
                    return {B::SecondNotice, u"이 닉네임은 사용할 수 없습니다.", {}};
                case 2:
                    return {B::SecondNotice, u"아이템을 보유하고 있지 않습니다.", {}};
                case 3:
                    return {B::SecondNotice, u"DB처리 중 오류입니다.", {}};
                default:
                    return {};
            }
        case shop_net::kUseResult:
            switch (result) {
                case 1:
                    return {B::SecondNotice, u"아이템을 보유하고 있지 않습니다.", {}};
                case 2:
                    return {B::SecondNotice, u"DB처리 중 오류입니다.", {}};
                default:
                    return {};
            }
        case shop_net::kUseDefaultResult:
        case shop_net::kDefaultItem:
            return {B::Error, u"아이템 사용에 실패하였습니다.", reconnect};
        case shop_net::kDeleteResult:
            if (result == 1)
                return {B::Error, u"사용중인 아이템 삭제 오류!", u"운영자에게 문의하시기 바랍니다."};
            return {B::Error, u"아이템 삭제에 실패하였습니다.", reconnect};
        case shop_net::kPartsResult:
            switch (result) {
                case 1:
                    return {B::Error, u"구입 처리에 오류가 있습니다.", reconnect};
                case 2:
                case 3:
                    return {B::Error, u"Not enough money.", {}};
                case 5:
                    return {B::Error, u"잘못된 파츠 번호가 있습니다.", u"관리자에게 문의하세요."};
                case 6:
                    return {B::Error, u"DB Error occured.", u"Failed to purchase item."};
                default:
                    return {};
            }
        case shop_net::kUpgradeResult:
            switch (result) {
                case 1:
                    return {B::Error, u"처리에 오류가 있습니다.", reconnect};
                case 2:
                    return {B::Error, u"Not enough money.", {}};
                case 4:
                    return {B::Error, u"큐의 업그레이트 포인트가 부족합니다.",
                            u"문제가 있을 경우 재접속하여 다시 시도하세요."};
                case 6:
                    return {B::Error, u"DB error occured.", {}};
                default:
                    return {};
            }
        case shop_net::kRepairResult:
            switch (result) {
                case 1:
                    return {B::Error, u"처리에 오류가 있습니다.", reconnect};
                case 2:
                    return {B::Error, u"Not enough money.", {}};
                case 6:
                    return {B::Error, u"DB Error occured.", u"Failed to purchase item."};
                default:
                    return {};
            }
        case shop_net::kResetResult:
            if (result == 2) return {B::Error, u"Not enough money.", {}};
            if (result == 6) return {B::Error, u"DB error occured.", {}};
            return {B::Error, u"처리에 오류가 있습니다.", reconnect};
        default:
            return {};
    }
}

}  // namespace scenes
