// Buying a new personal cue: the parts each cue type offers, the point bounds, the page moves,
// the custom cue's price, the order of the purchase checks and the request the choices make.

#include <gtest/gtest.h>

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/ItemPreview.h"
#include "gui/NoticeBox.h"
#include "gui/TextLabel.h"
#include "net/ItemTable.h"
#include "net/Packet.h"
#include "scenes/shop/ShopCodes.h"
#include "scenes/shop/ShopItemWidgets.h"
#include "scenes/shop/cue/PersonalCuePurchaseWindow.h"
#include "tests/scenes/shop/ShopTestHost.h"

using namespace scenes;
namespace pc = cue_purchase_control;

namespace {

class PurchaseHost : public ShopTestHost {
public:
    gui::NoticeBox* GetNoticeBox() override { return &first; }
    gui::NoticeBox* GetSecondNoticeBox() override { return &second; }
    gui::NoticeBox first, second;
};

class CuePurchaseTest : public testing::Test {
protected:
    void Open(std::uint32_t itemId) {
        const net::ItemRecord* r = net::GetItemTable().Find(itemId);
        ASSERT_NE(r, nullptr);
        window.SetCueType(*r);
        window.Show(true);
    }
    void Command(std::uint32_t id, gui::Widget* source = nullptr) {
        window.OnCommand({source ? source : &window, id, 0, gui::CommandCode::Event});
    }
    void GoTo(int page) {
        for (int i = 0; i < 6 && window.Page() > page; ++i) Command(pc::kBack);
        for (int i = 0; i < 6 && window.Page() < page; ++i) Command(pc::kNext);
        ASSERT_EQ(window.Page(), page);
    }
    // Spends every point, a whole option at a time.
    void SpendAll() {
        for (std::uint32_t k = 0; window.Points().remaining > 0; k = (k + 1) % 5)
            for (int i = 0; i < 40; ++i) Command(pc::kFirstMinus + 2 * k + 1);
    }
    // Picks part `part` of group `g` on its design page.
    void Pick(int g, int part) {
        GoTo(3 + g / 2);
        const std::uint32_t back = pc::kFirstPageBack + (g % 2 == 0 ? 0 : 2);
        for (int i = 0; i < 10 && window.PageStart(g) > 1; ++i) Command(back);
        for (int i = 0; i < 10 && window.PageStart(g) + 3 < part + 1; ++i) Command(back + 1);
        const int c = part + 1 - window.PageStart(g);
        Command(pc::kFirstCard + static_cast<std::uint32_t>(10 * g + c), window.Card(g, c));
        ASSERT_EQ(window.Part(g), part);
    }
    WString Press(std::uint32_t id) {
        host.boxes.clear();
        host.first.Show(false);
        Command(id);
        if (host.first.IsVisible())
            return Format(u"%s|%d", host.first.Caption(), static_cast<int>(host.first.ResultCode()));
        return host.LastBox();
    }

    PurchaseHost host;
    PersonalCuePurchaseWindow window{&host};
};

TEST_F(CuePurchaseTest, EachCueTypeOffersItsPartsAndBoundsItsPoints) {
    const struct {
        std::uint32_t item;
        int points, cap;
        std::array<int, 5> listed;
    } cases[] = {
        {3104, 20, 10, {2, 2, 1, 1, 1}},
        {3100, 150, 40, {8, 8, 8, 8, 8}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        Open(c.item);
        EXPECT_EQ(window.Page(), 1);
        EXPECT_EQ(window.Points().remaining, c.points);
        for (int g = 0; g < 5; ++g) EXPECT_EQ(window.Listed(g), c.listed[static_cast<std::size_t>(g)]);
        for (int i = 0; i < c.cap + 5; ++i) Command(pc::kFirstMinus + 1);
        EXPECT_EQ(window.Points().options[0], c.cap) << "the plus button stops at the option's cap";
        Command(pc::kFirstMinus);
        EXPECT_EQ(window.Points().options[0], c.cap - 1);
        EXPECT_EQ(window.Points().remaining, c.points - c.cap + 1);
    }
    Open(3104);
    SpendAll();
    GoTo(3);
    EXPECT_TRUE(window.Card(0, 1)->IsVisible());
    EXPECT_FALSE(window.Card(0, 2)->IsVisible()) << "a tuning cue lists only two shafts";
}

TEST_F(CuePurchaseTest, NextKeepsPageTwoUntilEveryPointIsSpentAndPagesStopAtTheEnds) {
    Open(3104);
    Command(pc::kBack);
    EXPECT_EQ(window.Page(), 1);
    Command(pc::kNext);
    EXPECT_EQ(Press(pc::kNext),
              u"Notice|성능 포인트가 아직 남아 있습니다.|모든 성능 포인트를 배분해 주세요.");
    EXPECT_EQ(window.Page(), 2);
    SpendAll();
    GoTo(6);
    Command(pc::kNext);
    EXPECT_EQ(window.Page(), 6);
}

TEST_F(CuePurchaseTest, PageButtonsOfPagesWithoutThatCardRowChangeNoGroup) {
    Open(3100);
    SpendAll();
    for (int page = 1; page <= 6; ++page) {
        GoTo(page);
        for (std::uint32_t id = pc::kFirstPageBack; id <= pc::kLastPageForward; ++id) {
            // Only the rows this page shows may move.
            Command(id);
            for (int other = 0; other < 5; ++other) {
                if (other == 2 * page - 6 || other == 2 * page - 5) continue;
                EXPECT_EQ(window.PageStart(other), 1) << "page " << page << " button " << id;
            }
        }
        for (int g = 0; g < 5; ++g) {
            if (window.PageStart(g) > 1) Command(pc::kFirstPageBack + (g % 2 == 0 ? 0 : 2));
        }
    }
}

TEST_F(CuePurchaseTest, CustomPriceGrowsOnlyWithPartsAboveTheAllowance) {
    Open(3100);
    SpendAll();
    for (int g = 0; g < 5; ++g) Pick(g, 4);
    EXPECT_EQ(window.Price(), 17500);
    Pick(0, 0);
    EXPECT_EQ(window.Price(), 17500 + 17000);
    EXPECT_EQ(window.PriceLabel()->Text(), u"34,500 (캐시)");
}

TEST_F(CuePurchaseTest, ConfirmChecksItemsThenCueCountThenMoneyAndTheRequestCarriesTheChoices) {
    Open(3104);
    SpendAll();
    const net::ItemRecord* tuning = net::GetItemTable().Find(3104);
    host.session->own.money = tuning->prices[0];
    for (std::uint64_t s = 1; s <= 4; ++s) host.Own(s, 3104, 1, 3, 1, 100000, 100000)->personal = 1;
    GoTo(6);
    EXPECT_EQ(Press(pc::kBuy), u"Notice|개인큐는 4개 까지만 보유 가능합니다.");
    for (std::uint64_t s = 5; s <= 98; ++s) host.Own(s, 3001, 1, 1);
    EXPECT_EQ(Press(pc::kBuy), u"Notice|아이템을 더 이상 구입할 수 없습니다.|인벤토리를 비우시기 바랍니다.");
    host.session->ReleaseOwnItems();
    host.session->own.money = tuning->prices[0] - 1;
    GoTo(5);
    GoTo(6);
    EXPECT_EQ(window.AfterLabel()->Text(), u"구입후 큐머니 : 금액이 부족합니다.");
    EXPECT_EQ(Press(pc::kBuy), u"Notice|큐머니가 부족합니다.");
    host.session->own.money = tuning->prices[0];
    Pick(0, 1);
    EXPECT_EQ(Press(pc::kBuy), u"Purchase|" + Format(u"%d", static_cast<int>(shop_message::kCuePurchaseOk)));
    net::Packet p;
    ASSERT_TRUE(window.WriteRequest(p));
    p.Finish();
    auto in = ReadBack(p);
    EXPECT_EQ(in->U32(), 3104u);
    EXPECT_EQ(in->U32(), 100000u);
    EXPECT_EQ(in->Str(), tuning->name);
    for (int v : {10, 10, 0, 0, 0}) EXPECT_EQ(in->U8(), v);
    for (int v : {1, 0, 0, 0, 0}) EXPECT_EQ(in->U16(), v);

    Open(3100);
    SpendAll();
    host.session->own.cash = 17499;
    GoTo(6);
    EXPECT_EQ(Press(pc::kBuy), u"Notice|캐시가 부족합니다.");
}

}  // namespace

namespace {

TEST_F(CuePurchaseTest, CatalogueListsEveryPartForBrowsingOnlyAndOnlyForATuningCue) {
    Open(3100);
    EXPECT_FALSE(window.CatalogueButton()->IsVisible());
    Open(3104);
    ASSERT_TRUE(window.CatalogueButton()->IsVisible());
    Command(pc::kCatalogue);
    CuePartCatalogDialog& catalogue = *window.Catalogue();
    ASSERT_TRUE(catalogue.IsVisible());
    for (int g = 0; g < 5; ++g) EXPECT_EQ(catalogue.Listed(g), 8) << "group " << g;
    EXPECT_NE(catalogue.PriceLabel()->Text(), u"변경 안함") << "no part is owned, so each shows its price";
    host.session->own.cash = 1000000;
    host.session->own.money = 1000000;
    host.first.Show(false);
    catalogue.OnCommand({&catalogue, cue_control::kOk, 0, gui::CommandCode::Event});
    EXPECT_FALSE(host.first.IsVisible()) << "the catalogue buys nothing";
}

}  // namespace

namespace {

TEST_F(CuePurchaseTest, PageOneDescribesTheCueTypeWithSinglePercentSignsAndRedClosingLines) {
    const struct {
        std::uint32_t item;
        const char16_t* repair;
        const char16_t* power;
        const char16_t* last;
    } cases[] = {
        {3104, u"일반수리 : 내구1당 150(큐머니)", u"파워 +5, 밸런스 25%",
         u"파츠 구입 : 업그레이드 최대값 상향"},
        {3100, u"내구도 전체 복원 : 8,800 (캐시)", u"파워 +20, 밸런스 100%",
         u"파츠 아이템을 구입하여 디자인 변경만 가능합니다."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        Open(c.item);
        EXPECT_EQ(window.DescriptionLine(0)->Text(), c.repair);
        // Line n of the description is row n + 1 (rows 0 and 1 are the repair lines).
        EXPECT_EQ(window.DescriptionLine(6)->Text(), c.power) << "%% shows as one percent sign";
        for (int blank : {3, 8, 12}) EXPECT_TRUE(window.DescriptionLine(blank + 1)->Text().empty());
        EXPECT_EQ(window.DescriptionLine(15)->Text(), c.last);
        EXPECT_EQ(window.DescriptionLine(15)->Colour(), 0xFFFFA0A0u);
        EXPECT_EQ(window.DescriptionLine(14)->Colour(), 0xFFFFA0A0u);
        EXPECT_NE(window.DescriptionLine(13)->Colour(), 0xFFFFA0A0u);
    }
}

TEST_F(CuePurchaseTest, CardHoverShowsPartAndPriceBesideTheCardAndOnlyItsOwnLeaveHidesIt) {
    Open(3100);
    SpendAll();
    GoTo(3);
    auto hover = [&](int g, int c, gui::CommandCode code) {
        window.OnCommand(
            {window.Card(g, c), pc::kFirstCard + static_cast<std::uint32_t>(10 * g + c), 0, code});
    };
    hover(0, 1, gui::CommandCode::MouseEnter);
    gui::Widget& panel = *window.HoverPanel();
    ASSERT_TRUE(panel.IsVisible());
    EXPECT_EQ(window.HoverLine(0)->Text(), u"shaft 2 번");
    EXPECT_EQ(window.HoverLine(1)->Text(), u"가격 : 30,000(큐머니)");
    EXPECT_EQ(panel.ScreenX(), window.Card(0, 1)->ScreenX() + 60);
    EXPECT_EQ(panel.ScreenY(), window.Card(0, 1)->ScreenY() + 30);
    hover(0, 0, gui::CommandCode::MouseLeave);
    EXPECT_TRUE(panel.IsVisible()) << "another card's leave keeps the panel";
    hover(0, 1, gui::CommandCode::MouseLeave);
    EXPECT_FALSE(panel.IsVisible());
    EXPECT_EQ(window.Part(0), 0) << "hovering chooses nothing";

    Command(pc::kFirstPageBack + 3);  // the butts of 5 to 8: cash parts
    hover(1, 0, gui::CommandCode::MouseEnter);
    EXPECT_EQ(window.HoverLine(0)->Text(), u"butt 5 번");
    EXPECT_EQ(window.HoverLine(1)->Text(), u"가격 : 1,000(캐시)");
}

TEST_F(CuePurchaseTest, TheGuideButtonAsksTheShopForItsPictureWindow) {
    Open(3104);
    host.posted.clear();
    Command(pc::kGuide);
    ASSERT_EQ(host.posted.size(), 1u);
    EXPECT_EQ(host.posted[0].code, shop_message::kShowPicture);
}

TEST_F(CuePurchaseTest, TheSharedWholeCuePreviewFollowsTheChosenPartsAndHidesWithTheWindow) {
    ItemPreviewPanel panel(0, 0, 120, 300);
    window.SetPreviewPanel(&panel);
    Open(3100);
    ASSERT_TRUE(panel.IsVisible());
    EXPECT_EQ(panel.Item(), 3100u);
    SpendAll();
    Pick(1, 5);
    Pick(4, 2);
    const gui::ItemPreview::PartIds expected{0, 5, 0, 0, 2};
    EXPECT_EQ(panel.Preview()->Parts(), expected);
    window.Show(false);
    EXPECT_FALSE(panel.IsVisible());

    Open(3104);
    EXPECT_EQ(panel.Preview()->Parts(), gui::ItemPreview::PartIds{}) << "a new cue type starts from part 1";
    panel.Show(false);
    Command(pc::kCatalogue);
    EXPECT_TRUE(panel.IsVisible()) << "the catalogue shows the cue in the shared preview";
}

TEST_F(CuePurchaseTest, CatalogueDetailsNameEachGroupsLimitInItsOwnWords) {
    Open(3104);
    Command(pc::kCatalogue);
    CuePartCatalogDialog& catalogue = *window.Catalogue();
    const struct {
        int group;
        int card;
        const char16_t* title;
        const char16_t* price;
        const char16_t* option;
        const char16_t* second;  // null: hidden
    } cases[] = {
        {0, 1, u"shaft 2", u"30,000 (Gold)", u"squirt limit 25", nullptr},
        {1, 1, u"butt 2", u"30,000 (Gold)", u"power limit 25", nullptr},
        {2, 0, u"joint 1", u"20,000 (Gold)", u"balance limit 20", nullptr},
        {3, 1, u"bumper 2", u"30,000 (Gold)", u"총내구도 15 복원", nullptr},
        {4, 1, u"cue tip 2", u"30,000 (Gold)", u"spin limit 25", u"miscue limit 15"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.group);
        catalogue.OnCommand({&catalogue, parts_control::kFirstTab + static_cast<std::uint32_t>(c.group), 0,
                             gui::CommandCode::Event});
        catalogue.OnCommand({catalogue.Card(c.card),
                             parts_control::kFirstCard + static_cast<std::uint32_t>(c.card), 0,
                             gui::CommandCode::Event});
        EXPECT_EQ(catalogue.TitleLabel()->Text(), c.title);
        EXPECT_EQ(catalogue.PriceLabel()->Text(), c.price);
        EXPECT_EQ(catalogue.OptionLabel(0)->Text(), c.option);
        EXPECT_EQ(catalogue.OptionLabel(1)->IsVisible(), c.second != nullptr);
        if (c.second) {
            EXPECT_EQ(catalogue.OptionLabel(1)->Text(), c.second);
        }
    }
    catalogue.OnCommand({&catalogue, parts_control::kPageForward, 0, gui::CommandCode::Event});
    catalogue.OnCommand({catalogue.Card(0), parts_control::kFirstCard, 0, gui::CommandCode::Event});
    EXPECT_EQ(catalogue.PriceLabel()->Text(), u"1,000 (CC)") << "cash parts are priced in CC";
}

}  // namespace

TEST_F(CuePurchaseTest, TheSummaryNamesEachChosenPartAndOptionEffectAndPageTwoTheDurability) {
    host.session->own.cash = 100000;
    Open(3100);
    GoTo(2);
    EXPECT_EQ(window.DurabilityLabel()->Text(), u"1000") << "the custom cue's 1,000 points";
    // 40 shot power, 40 balance, 40 spin, 30 miscue: the 150 points.
    for (std::uint32_t k = 0; k < 4; ++k)
        for (int i = 0; i < (k == 3 ? 30 : 40); ++i) Command(pc::kFirstMinus + 2 * k + 1);
    ASSERT_EQ(window.Points().remaining, 0);
    Pick(1, 2);
    Pick(4, 0);
    GoTo(6);
    const char16_t* parts[] = {u"1 번", u"3 번", u"1 번", u"1 번", u"1 번"};
    for (int g = 0; g < 5; ++g) EXPECT_EQ(window.SummaryPart(g)->Text(), parts[g]) << "group " << g;
    const char16_t* effects[] = {u"+40", u"40%", u"+40", u"30%", u"0%"};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(window.SummaryOption(k)->Text(), effects[k]) << "option " << k;
    const WString price = FormatNumber(window.Price());
    EXPECT_EQ(window.SummaryPrice()->Text(), price + u"  (캐시)")
        << "the summary's price stands two blanks off";
    EXPECT_EQ(window.PriceLabel()->Text(), price + u" (캐시)");

    Open(3104);
    GoTo(2);
    EXPECT_EQ(window.DurabilityLabel()->Text(), u"100") << "the tuning cue's 100 points";
}
