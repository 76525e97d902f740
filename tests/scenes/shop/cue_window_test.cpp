// The personal cue window and its dialogs: which cues fill the slots, the details, the menu, the
// order of the repair and upgrade checks, the point distribution of the reset, and that a cue the
// record lets go is never read again.

#include <gtest/gtest.h>

#include <vector>

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/ItemPreview.h"
#include "gui/NoticeBox.h"
#include "gui/TextLabel.h"
#include "net/Packet.h"
#include "scenes/shop/cue/CuePartsPurchaseDialog.h"
#include "scenes/shop/cue/PersonalCueWindow.h"
#include "tests/scenes/shop/ShopTestHost.h"

using namespace scenes;

namespace {

class CueHost : public ShopTestHost {
public:
    gui::NoticeBox* GetNoticeBox() override { return &first; }
    gui::NoticeBox* GetSecondNoticeBox() override { return &second; }
    gui::NoticeBox first, second;
};

class CueWindowTest : public testing::Test {
protected:
    void SetUp() override {
        host.session->own.money = 100000;
        host.session->own.cash = 10000;
    }
    net::ItemEntry* PersonalCue(std::uint64_t serial, std::uint32_t itemId, std::uint32_t maximum,
                                std::uint32_t durability) {
        net::ItemEntry* e = host.Own(serial, itemId, 1, 3, 1, maximum, durability);
        e->personal = 1;
        e->cueName = u"Cue " + WString(1, static_cast<char16_t>(u'0' + serial % 10));
        return e;
    }
    void Command(gui::Widget& target, gui::Widget& source, std::uint32_t id) {
        target.OnCommand({&source, id, 0, gui::CommandCode::Event});
    }
    void ClickSlot(int i) {
        Command(window, *window.Slot(i), cue_control::kFirstSlot + static_cast<std::uint32_t>(i));
    }
    void Menu(std::uint32_t id) { Command(window, *window.Menu(), id); }
    // Presses a button of a dialog; the box it showed ("Caption|line..."), or the confirmation's
    // "Caption|code/param" when it asked for one.
    WString Press(gui::Widget& dialog, std::uint32_t id) {
        host.boxes.clear();
        host.first.Show(false);
        host.second.Show(false);
        Command(dialog, dialog, id);
        for (gui::NoticeBox* box : {&host.first, &host.second})
            if (box->IsVisible())
                return Format(u"%s|%d/%d", box->Caption(), static_cast<int>(box->ResultCode()),
                              static_cast<int>(box->Param()));
        return host.LastBox();
    }

    CueHost host;
    PersonalCueWindow window{&host};
};

TEST_F(CueWindowTest, SlotsTakeTheLastFourPersonalCuesAndSkipOtherItems) {
    PersonalCue(11, 3104, 100000, 100000);
    host.Own(12, 3001, 1, 1);  // a cue, but not a personal one
    for (std::uint64_t s = 13; s <= 16; ++s) PersonalCue(s, 3104, 100000, 100000);
    window.Show(true);
    EXPECT_EQ(window.ListedCount(), 5);
    const std::uint64_t expected[4] = {16, 15, 14, 13};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(window.Slot(i)->Serial(), expected[i]);
    EXPECT_FALSE(window.EmptyLabel()->IsVisible());
    EXPECT_EQ(window.SelectedSlot(), 0) << "the first slot is selected when the window opens";
}

TEST_F(CueWindowTest, NoPersonalCueShowsTheEmptyLabelAndNoSlot) {
    host.Own(12, 3001, 1, 1);
    window.Show(true);
    EXPECT_TRUE(window.EmptyLabel()->IsVisible());
    EXPECT_EQ(window.EmptyLabel()->Text(), u"- 보유중인 개인큐가 없습니다 -");
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(window.Slot(i)->IsVisible());
    EXPECT_FALSE(window.DetailPanel()->IsVisible());
}

TEST_F(CueWindowTest, DetailsShowWholePointsAndHideUpgradePointsOfACustomCue) {
    net::ItemEntry* tuning = PersonalCue(11, 3104, 100000, 79999);
    tuning->upgradeValue = 2999;
    tuning->performance = {7, 25, 3, 2, 4};
    PersonalCue(12, 3100, 1000000, 1000000);
    window.Show(true);
    ClickSlot(1);
    EXPECT_EQ(window.DurabilityLabel()->Text(), u"79/100");
    EXPECT_EQ(window.PointsLabel()->Text(), u"2");
    EXPECT_TRUE(window.PointsLabel()->IsVisible());
    EXPECT_EQ(window.DetailValue(0)->Text(), u"+7");
    EXPECT_EQ(window.DetailValue(1)->Text(), u"25%");
    EXPECT_EQ(window.DetailValue(4)->Text(), u"4%");
    EXPECT_EQ(window.MenuThird()->Caption(), u"업그레이드");
    ClickSlot(0);
    EXPECT_FALSE(window.PointsLabel()->IsVisible());
    EXPECT_FALSE(window.PointsCaption()->IsVisible());
    EXPECT_EQ(window.MenuThird()->Caption(), u"성능재설정");
    EXPECT_TRUE(window.Menu()->IsVisible());
    Menu(cue_control::kMenuThird);
    EXPECT_FALSE(window.Menu()->IsVisible());
    EXPECT_TRUE(window.Reset()->IsVisible()) << "a custom cue's third entry opens the reset";
}

TEST_F(CueWindowTest, RepairChecksDurabilityThenMoneyThenAsksWithTheKindsCode) {
    net::ItemEntry* cue = PersonalCue(11, 3104, 100000, 80001);
    window.Show(true);
    Menu(cue_control::kMenuRepair);
    CueRepairDialog& repair = *window.Repair();
    ASSERT_TRUE(repair.IsVisible());
    EXPECT_EQ(Press(repair, cue_control::kOk), u"Notice|내구도가 80% 미만일 때만 수리 가능합니다.");
    cue->remainingValue = 80000;
    host.session->own.money = 20 * 150 - 1;
    EXPECT_EQ(Press(repair, cue_control::kOk), u"Notice|Not enough money.");
    host.session->own.money = 20 * 150;
    EXPECT_EQ(Press(repair, cue_control::kOk), u"튜닝큐 수리|1102/1");
    EXPECT_EQ(Press(repair, cue_control::kAdvanced), u"Notice|Not enough money.");
    host.session->own.money = 20 * 450;
    EXPECT_EQ(Press(repair, cue_control::kAdvanced), u"고급 수리|1102/2");
    net::Packet p;
    ASSERT_TRUE(window.WriteRepair(p));
    p.Finish();
    auto in = ReadBack(p);
    EXPECT_EQ(in->U8(), 1) << "advanced";
    EXPECT_EQ(in->U64(), 11u);
}

TEST_F(CueWindowTest, CustomRestorationNeedsTenPercentAndCashAndHidesTheAdvancedRepair) {
    net::ItemEntry* cue = PersonalCue(11, 3100, 1000000, 100001);
    window.Show(true);
    Menu(cue_control::kMenuRepair);
    CueRepairDialog& repair = *window.Repair();
    EXPECT_FALSE(repair.AdvancedButton()->IsVisible());
    EXPECT_EQ(repair.NormalCostLabel()->Text(), u"8,800 (캐시)");
    EXPECT_EQ(Press(repair, cue_control::kOk), u"Notice|내구도가 10% 미만일 때만 수리 가능합니다.");
    cue->remainingValue = 100000;
    host.session->own.cash = 8799;
    EXPECT_EQ(Press(repair, cue_control::kOk), u"Notice|Not enough cash.");
    host.session->own.cash = 8800;
    EXPECT_EQ(Press(repair, cue_control::kOk), u"커스텀큐 수리|1102/1");
}

TEST_F(CueWindowTest, ResetAsksOnlyWhenEveryPointIsSpentAndSendsTheDistribution) {
    PersonalCue(11, 3100, 1000000, 1000000);
    window.Show(true);
    Menu(cue_control::kMenuThird);
    CuePerformanceResetDialog& reset = *window.Reset();
    ASSERT_TRUE(reset.IsVisible());
    EXPECT_EQ(reset.RemainingLabel()->Text(), u"150");
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < 41; ++i) Command(reset, reset, cue_control::kFirstMinus + 2 * k + 1);
    for (int i = 0; i < 29; ++i) Command(reset, reset, cue_control::kFirstMinus + 9);
    Command(reset, reset, cue_control::kFirstMinus + 6);  // minus on an option at 0
    EXPECT_EQ(reset.RemainingLabel()->Text(), u"1");
    EXPECT_EQ(reset.EffectLabel(0)->Text(), u"+40");
    EXPECT_EQ(reset.EffectLabel(3)->Text(), u"+0%");
    EXPECT_EQ(reset.EffectLabel(4)->Text(), u"29%");
    EXPECT_EQ(Press(reset, cue_control::kOk),
              u"Notice|성능 포인트가 아직 남아 있습니다.|모든 성능 포인트를 배분해 주세요.");
    Command(reset, reset, cue_control::kFirstMinus + 9);
    EXPECT_EQ(Press(reset, cue_control::kOk), u"성능 재조정|1101/1");
    EXPECT_TRUE(host.second.IsVisible()) << "the reset asks on the second box";
    net::Packet p;
    ASSERT_TRUE(window.WriteUpgradeOrReset(p, cue_message::kResetParam));
    p.Finish();
    auto in = ReadBack(p);
    EXPECT_EQ(in->U64(), 11u);
    for (int expected : {40, 40, 40, 0, 30}) EXPECT_EQ(in->U8(), expected);
}

TEST_F(CueWindowTest, UpgradeChecksLimitThenMoneyThenPoints) {
    net::ItemEntry* cue = PersonalCue(11, 3104, 100000, 100000);
    cue->parts = {0, 0, 0, 0, 0};  // butt 0 bounds the power at 20
    cue->performance[0] = 20;
    cue->upgradeValue = 2999;
    window.Show(true);
    Menu(cue_control::kMenuThird);
    CueUpgradeWindow& upgrade = *window.Upgrade();
    ASSERT_TRUE(upgrade.IsVisible());
    Command(upgrade, upgrade, cue_control::kFirstUpgrade);
    CueUpgradeDialog& dialog = *upgrade.Dialog();
    ASSERT_TRUE(dialog.IsVisible());
    EXPECT_EQ(dialog.MaximumLabel()->Text(), u"파워옵션 최대 20");
    EXPECT_EQ(dialog.RateLabel()->Text(), u"70% (마르베클럽 85%)");
    EXPECT_EQ(dialog.CostLabel()->Text(), u"9,000 (큐머니)");
    EXPECT_EQ(Press(dialog, cue_control::kOk),
              u"Notice|이 옵션은 더 이상 업그레이드 할 수 없습니다.|상위 등급의 파츠가 필요합니다.");
    cue->parts[1] = 4;  // limit 40
    host.session->own.money = 8999;
    EXPECT_EQ(Press(dialog, cue_control::kOk), u"Notice|업그레이드에 필요한 큐머니가 부족합니다.");
    host.session->own.money = 9000;
    EXPECT_EQ(Press(dialog, cue_control::kOk),
              u"Notice|큐의 업그레이드 포인트가 부족합니다.|업그레이드 포인트는 큐 내구도 사용 1 당|1 "
              u"포인트씩 누적됩니다.");
    cue->upgradeValue = 3000;
    EXPECT_EQ(Press(dialog, cue_control::kOk), u"튜닝큐 업그레이드|1101/2");
    net::Packet p;
    ASSERT_TRUE(window.WriteUpgradeOrReset(p, cue_message::kUpgradeParam));
    p.Finish();
    auto in = ReadBack(p);
    EXPECT_EQ(in->U8(), 1);
    EXPECT_EQ(in->U64(), 11u);
    EXPECT_EQ(in->U8(), 0);
}

TEST_F(CueWindowTest, ACueTheRecordLetsGoClosesItsDialogAndSendsNothing) {
    PersonalCue(11, 3104, 100000, 50000);
    window.Show(true);
    Menu(cue_control::kMenuRepair);
    ASSERT_TRUE(window.Repair()->IsVisible());
    net::ItemEntry* gone = host.session->own.RemoveItem(11);
    ASSERT_NE(gone, nullptr);
    host.session->FreeItemEntry(gone);
    net::Packet p;
    EXPECT_FALSE(window.WriteRepair(p)) << "a confirmation that arrives late names no freed entry";
    window.RefreshSlots();
    window.RefreshDetails();
    EXPECT_FALSE(window.Repair()->IsVisible());
    EXPECT_FALSE(window.SelectedSlot().has_value());
    EXPECT_FALSE(window.DetailPanel()->IsVisible());
    EXPECT_TRUE(window.EmptyLabel()->IsVisible());
}

TEST_F(CueWindowTest, PartsPagesStopAtTheListsEndAndOnlyListedRowsAreOffered) {
    PersonalCue(11, 3104, 100000, 100000);
    window.Show(true);
    Menu(cue_control::kMenuParts);
    CuePartsPurchaseDialog& parts = *window.Parts();
    ASSERT_TRUE(parts.IsVisible());
    Command(parts, parts, parts_control::kFirstTab + 1);  // butt
    EXPECT_EQ(parts.Listed(1), 8) << "the table sells 8 butts: rows it lacks are not offered";
    EXPECT_FALSE(parts.BackButton()->IsVisible());
    Command(parts, parts, parts_control::kPageForward);
    EXPECT_EQ(parts.PageStart(1), 5);
    EXPECT_FALSE(parts.ForwardButton()->IsVisible());
    Command(parts, parts, parts_control::kPageForward);
    EXPECT_EQ(parts.PageStart(1), 5);
    for (int c = 0; c < CuePartsPurchaseDialog::kCards; ++c) EXPECT_EQ(parts.Card(c)->Index(), 4 + c);
    Command(parts, parts, parts_control::kPageBack);
    Command(parts, parts, parts_control::kPageBack);
    EXPECT_EQ(parts.PageStart(1), 1);
}

TEST_F(CueWindowTest, PartsTotalsSplitByCurrencyAndTheRequestCarriesTheChangedGroupsInOrder) {
    PersonalCue(11, 3104, 100000, 100000);
    host.session->own.level = 20;
    window.Show(true);
    Menu(cue_control::kMenuParts);
    CuePartsPurchaseDialog& parts = *window.Parts();
    EXPECT_EQ(Press(parts, cue_control::kOk), u"Notice|변경 내용이 없습니다.");
    Command(parts, *parts.Card(1), parts_control::kFirstCard + 1);  // shaft index 1 for 30,000 cue money
    EXPECT_EQ(parts.PriceLabel()->Text(), u"30,000 (큐머니)");
    Command(parts, parts, parts_control::kFirstTab + 4);  // tip
    Command(parts, parts, parts_control::kPageForward);
    Command(parts, *parts.Card(0), parts_control::kFirstCard);  // tip index 4 for 1,000 cash, level 8
    EXPECT_EQ(parts.OptionLabel(0)->Text(), u"스핀 상한 40");
    EXPECT_TRUE(parts.OptionLabel(1)->IsVisible());
    EXPECT_EQ(parts.Totals().cash, 1000);
    EXPECT_EQ(parts.Totals().cueMoney, 30000);
    Command(parts, *parts.Card(0), parts_control::kFirstCard);
    host.session->own.level = 7;
    EXPECT_EQ(Press(parts, cue_control::kOk),
              u"Notice|선택한 cue tip 파트는 레벨이 맞지 않아 구입이|불가능합니다.|요구사항에 맞는 파트만 "
              u"구입이 가능합니다.");
    host.session->own.level = 8;
    host.session->own.cash = 999;
    EXPECT_EQ(Press(parts, cue_control::kOk), u"Notice|Not enough cash.");
    host.session->own.cash = 1000;
    host.session->own.money = 29999;
    EXPECT_EQ(Press(parts, cue_control::kOk), u"Notice|Not enough money.");
    host.session->own.money = 30000;
    EXPECT_EQ(Press(parts, cue_control::kOk), u"파츠 구입|1100/0");
    net::Packet p;
    ASSERT_TRUE(window.WritePartsPurchase(p));
    p.Finish();
    auto in = ReadBack(p);
    EXPECT_EQ(in->U64(), 11u);
    EXPECT_EQ(in->U8(), 2);
    EXPECT_EQ(in->U8(), 0);
    EXPECT_EQ(in->U16(), 1);
    EXPECT_EQ(in->U8(), 4);
    EXPECT_EQ(in->U16(), 4);
    // Choosing the current part again takes the group out of the totals.
    Command(parts, parts, parts_control::kCurrentParts);
    EXPECT_EQ(parts.PriceLabel()->Text(), u"변경 안함");
    EXPECT_EQ(parts.Totals().cash + parts.Totals().cueMoney, 0);
}

}  // namespace

namespace {

TEST_F(CueWindowTest, TheResourcePassReachesSlotsAndDialogsAndReleasedModelsReturnOnTheNextPass) {
    PersonalCue(1, 3104, 100000, 100000);
    PersonalCue(2, 3100, 1000000, 1000000);
    window.Show(true);
    ClickSlot(0);  // the custom cue: its reset dialog
    Menu(cue_control::kMenuThird);
    ClickSlot(1);  // the tuning cue: its upgrade window and parts
    Menu(cue_control::kMenuThird);
    Menu(cue_control::kMenuParts);
    ASSERT_TRUE(window.Parts()->IsVisible());
    const std::vector<gui::ItemPreview*> previews{window.Slot(0)->Preview(), window.Slot(1)->Preview(),
                                                  window.Reset()->Preview(), window.Upgrade()->Preview()};
    for (gui::ItemPreview* p : previews) EXPECT_FALSE(p->HasModel());

    window.BuildModels(nullptr, nullptr);
    for (gui::ItemPreview* p : previews) EXPECT_TRUE(p->HasModel()) << "every owned preview is built";
    EXPECT_EQ(window.Reset()->Preview()->Item(), 3100u);
    EXPECT_EQ(window.Upgrade()->Preview()->Item(), 3104u);

    window.ReleaseModels();
    for (gui::ItemPreview* p : previews) EXPECT_FALSE(p->HasModel());
    EXPECT_TRUE(window.Parts()->PartPreview()->BuildRequested()) << "a released part waits for the next pass";
    EXPECT_TRUE(window.Parts()->Card(0)->Preview()->BuildRequested());
    window.BuildModels(nullptr, nullptr);
    for (gui::ItemPreview* p : previews) EXPECT_TRUE(p->HasModel()) << "and comes back on it";
}

}  // namespace
