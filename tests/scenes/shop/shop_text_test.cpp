// The shop's arithmetic (club discount, membership prices, repair loss) and the texts of the
// server's result codes.

#include <gtest/gtest.h>

#include "scenes/shop/ShopCodes.h"
#include "scenes/shop/ShopText.h"

using namespace scenes;

TEST(ShopDiscount, PricesFollowMembershipAndRoundLikeSinglePrecision) {
    struct Case {
        std::int64_t price;
        std::uint8_t level;
        bool cash;
        std::int64_t paid;
    } cases[] = {
        {1005, 2, false, 904},  // 0.9f lies below 0.9: 904.49998 + 0.5 truncates to 904
        {1000, 2, false, 900}, {1000, 2, true, 800},  {1000, 3, true, 800},
        {1000, 3, false, 800}, {1000, 1, true, 1000}, {1000, 0, false, 1000},
        {1000, 4, true, 1000}, {0, 3, true, 0},       {26000, 2, true, 20800},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DiscountedPrice(c.price, c.level, c.cash), c.paid)
            << c.price << " level " << int(c.level) << (c.cash ? " cash" : " gold");
}

TEST(ShopMembershipPrices, TableOfKindsAndPeriods) {
    EXPECT_EQ(MembershipPrice(1, 1), 4500);
    EXPECT_EQ(MembershipPrice(1, 2), 12500);
    EXPECT_EQ(MembershipPrice(2, 1), 9800);
    EXPECT_EQ(MembershipPrice(2, 2), 26000);
    EXPECT_EQ(MembershipPrice(3, 1), 18400);
    EXPECT_EQ(MembershipPrice(3, 2), 49000);
    EXPECT_EQ(MembershipPrice(0, 1), 0) << "an unknown kind has no price";
    EXPECT_EQ(MembershipCueMoney(3, 1), 300000);
    EXPECT_EQ(MembershipCueMoney(3, 2), 900000);
    EXPECT_EQ(MembershipCueMoney(2, 2), 0);
}

TEST(ShopRepairLoss, PartialPointsCountAndAGainIsNoLoss) {
    EXPECT_EQ(RepairLoss(50000, 50000), 0);
    EXPECT_EQ(RepairLoss(50000, 49000), 1);
    EXPECT_EQ(RepairLoss(50000, 49800), 1);
    EXPECT_EQ(RepairLoss(50000, 48000), 2);
    // A server value above the old maximum must not wrap into a huge loss.
    EXPECT_EQ(RepairLoss(50000, 60000), 0);
    EXPECT_EQ(RepairLoss(0, 0xFFFFFFFFu), 0);
}

TEST(ShopReplyTexts, EveryResultCodeShowsItsLines) {
    const WString reconnect = kReconnectLine;
    struct Case {
        std::uint16_t id;
        std::uint8_t result;
        ReplyBox box;
        WString line1, line2;
    } cases[] = {
        {501, 1, ReplyBox::Error, u"데이터가 잘못되었습니다.", reconnect},
        {501, 2, ReplyBox::Error, u"캐시가 부족합니다.", reconnect},
        {501, 3, ReplyBox::Error, u"구입 처리에 오류가 있습니다.", reconnect},
        {501, 4, ReplyBox::Error, u"이미 마르베클럽에 가입된 사용자입니다.",
         u"기간 연장은 당분간 사용할 수 없습니다."},
        {501, 5, ReplyBox::Error, u"기간 처리에 오류가 있습니다.", u"관리자에게 문의하세요."},
        {501, 6, ReplyBox::Error, u"다른 종류로 변경은 불가능합니다.", u"기간종료 후 전환하시기 바랍니다."},
        {501, 7, ReplyBox::None, {}, {}},
        {510, 1, ReplyBox::Error, u"구입 처리에 오류가 있습니다.", reconnect},
        {510, 2, ReplyBox::Error, u"Not enough money.", {}},
        {510, 3, ReplyBox::None, {}, {}},
        {510, 4, ReplyBox::Error, u"The user does not exist. Check nickname.", {}},
        {510, 5, ReplyBox::Error, u"판매중인 아이템이 아닙니다.", u"아이템 구입에 실패하였습니다."},
        {510, 6, ReplyBox::Error, u"DB Error occured.", u"Failed to purchase item."},
        {510, 7, ReplyBox::Error, u"아이템풀이 부족하여 구입할 수 없습니다.", u"나중에 다시 시도하세요."},
        {513, 9, ReplyBox::Error, u"Failed to use the item.", u"Please reconnect to check the result."},
        {514, 1, ReplyBox::SecondNotice, u"이 닉네임은 사용할 수 없습니다.", {}},
        {514, 2, ReplyBox::SecondNotice, u"아이템을 보유하고 있지 않습니다.", {}},
        {514, 3, ReplyBox::SecondNotice, u"DB처리 중 오류입니다.", {}},
        {514, 4, ReplyBox::None, {}, {}},
        {516, 1, ReplyBox::SecondNotice, u"아이템을 보유하고 있지 않습니다.", {}},
        {516, 2, ReplyBox::SecondNotice, u"DB처리 중 오류입니다.", {}},
        {518, 3, ReplyBox::Error, u"아이템 사용에 실패하였습니다.", reconnect},
        {522, 1, ReplyBox::Error, u"아이템 사용에 실패하였습니다.", reconnect},
        {525, 1, ReplyBox::Error, u"사용중인 아이템 삭제 오류!", u"운영자에게 문의하시기 바랍니다."},
        {525, 2, ReplyBox::Error, u"아이템 삭제에 실패하였습니다.", reconnect},
        {535, 1, ReplyBox::Error, u"구입 처리에 오류가 있습니다.", reconnect},
        {535, 2, ReplyBox::Error, u"Not enough money.", {}},
        {535, 3, ReplyBox::Error, u"Not enough money.", {}},
        {535, 5, ReplyBox::Error, u"잘못된 파츠 번호가 있습니다.", u"관리자에게 문의하세요."},
        {535, 6, ReplyBox::Error, u"DB Error occured.", u"Failed to purchase item."},
        {537, 1, ReplyBox::Error, u"처리에 오류가 있습니다.", reconnect},
        {537, 2, ReplyBox::Error, u"Not enough money.", {}},
        {537, 4, ReplyBox::Error, u"큐의 업그레이트 포인트가 부족합니다.",
         u"문제가 있을 경우 재접속하여 다시 시도하세요."},
        {537, 6, ReplyBox::Error, u"DB error occured.", {}},
        {539, 1, ReplyBox::Error, u"처리에 오류가 있습니다.", reconnect},
        {539, 2, ReplyBox::Error, u"Not enough money.", {}},
        {539, 6, ReplyBox::Error, u"DB Error occured.", u"Failed to purchase item."},
        {541, 2, ReplyBox::Error, u"Not enough money.", {}},
        {541, 6, ReplyBox::Error, u"DB error occured.", {}},
        {541, 3, ReplyBox::Error, u"처리에 오류가 있습니다.", reconnect},
        {2045, 1, ReplyBox::None, {}, {}},
    };
    for (const Case& c : cases) {
        const ReplyText t = ReplyErrorText(c.id, c.result);
        SCOPED_TRACE(testing::Message() << c.id << " result " << int(c.result));
        EXPECT_EQ(t.box, c.box);
        EXPECT_TRUE(t.line1 == c.line1);
        EXPECT_TRUE(t.line2 == c.line2);
    }
    EXPECT_EQ(ReplyErrorText(510, 0).box, ReplyBox::None) << "success shows no error";
}
