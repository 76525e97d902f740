// The HUD widgets of the table scenes: the chalk gauge's fill and use, the item strip's paging and
// selection, the cue selector's slide and the buy-or-gift choice.
#include <gtest/gtest.h>

#include <vector>

#include "gui/Button.h"
#include "gui/ImageWidget.h"
#include "gui/ScrollBar.h"
#include "gui/TextLabel.h"
#include "net/ItemTable.h"
#include "net/PlayerRecord.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/ItemWidgets.h"
#include "scenes/room/hud/PlayerPanel.h"
#include "scenes/room/hud/SlidingPanels.h"
#include "tests/scenes/support/FakeSceneHost.h"

namespace {

using namespace scenes::hud;

net::ItemEntry Entry(std::uint32_t itemId, net::ItemType type, std::uint8_t usage = 0,
                     std::uint32_t uses = 0) {
    net::ItemEntry e;
    e.itemId = itemId;
    e.type = static_cast<std::uint32_t>(type);
    e.usageKind = usage;
    e.initialValue = e.remainingValue = uses;
    return e;
}

gui::CommandEvent Click(std::uint32_t id) {
    gui::CommandEvent e;
    e.id = id;
    return e;
}

gui::CommandEvent Hover(std::uint32_t id, gui::CommandCode code) {
    gui::CommandEvent e;
    e.id = id;
    e.code = code;
    return e;
}

struct Gauge {
    FakeSceneHost host;
    net::PlayerRecord record;
    net::ItemEntry chalk = Entry(4903, net::ItemType::Chalk, 3, 100);
    ChalkGauge gauge{&host, &record, scenes::scene_id::kPractice};
    std::vector<int> sounds;
    Gauge() {
        record.AddItem(1, &chalk);
        record.SelectItem(1);
        gauge.playSound = [this](int id) { sounds.push_back(id); };
        gauge.Create(0, 0);
        gauge.Reset();
    }
};

TEST(ChalkGauge, ChalkingFillsBy75UpToFullAndEachShotUsesItsShare) {
    Gauge g;
    EXPECT_EQ(g.gauge.LevelLabel()->Text(), u"0%");
    EXPECT_EQ(g.gauge.LevelLabel()->Colour(), 0xFFFF0000u) << "pure red when empty";
    EXPECT_EQ(g.gauge.UsesLabel()->Text(), u"(100/100)");
    EXPECT_EQ(g.gauge.LevelImage()->Height(), 66) << "the cover hides the whole gauge";

    g.gauge.SetLevel(30);
    EXPECT_TRUE(g.gauge.OnCommand(Click(20)));
    EXPECT_EQ(g.gauge.Level(), 100) << "capped at full";
    EXPECT_EQ(g.sounds, std::vector<int>{6});
    ASSERT_EQ(g.host.posted.size(), 1u);
    EXPECT_EQ(g.host.posted[0].code, 1083u);
    EXPECT_EQ(g.host.posted[0].a, 100u);
    EXPECT_EQ(g.gauge.LevelImage()->Height(), 0);
    EXPECT_EQ(g.gauge.LevelLabel()->Colour(), 0xFFFFFFFFu) << "white when full";

    EXPECT_TRUE(g.gauge.OnCommand(Click(20)));
    EXPECT_EQ(g.sounds.size(), 1u) << "a full gauge takes no more chalk";
    EXPECT_EQ(g.host.posted.size(), 1u);

    g.gauge.Consume(40);
    EXPECT_EQ(g.gauge.Level(), 60);
    EXPECT_EQ(g.gauge.LevelImage()->Height(), 26);
    EXPECT_EQ(g.gauge.LevelImage()->Y(), 40) << "covered from the bottom up";
    EXPECT_EQ(g.gauge.LevelImage()->Image().y, 1017 - 26);
    g.gauge.Consume(500);
    EXPECT_EQ(g.gauge.Level(), 0) << "never below empty";
    g.gauge.Consume(-50);
    EXPECT_EQ(g.gauge.Level(), 0) << "a negative use adds no chalk";
}

TEST(ChalkGauge, ExhaustedOrMissingChalkGivesANoticeAndNoChalk) {
    Gauge g;
    g.chalk.remainingValue = 0;
    g.gauge.Refresh();
    EXPECT_TRUE(g.gauge.OnCommand(Click(20)));
    EXPECT_EQ(g.gauge.Level(), 0);
    ASSERT_EQ(g.host.notices.size(), 1u);
    EXPECT_EQ(g.host.notices[0], u"Selected chalk is exhausted..");

    g.record.SelectItem(0);
    g.gauge.SetLevel(50);
    g.gauge.Refresh();
    EXPECT_EQ(g.gauge.Level(), 0);
    EXPECT_EQ(g.gauge.LevelLabel()->Text(), u"No Chalk");
    EXPECT_FALSE(g.gauge.UsesLabel()->IsVisible());
    g.gauge.OnCommand(Click(20));
    EXPECT_EQ(g.host.notices.back(), u"Default chalk is not selected..");
    EXPECT_TRUE(g.sounds.empty());
    EXPECT_FALSE(g.gauge.OnCommand(Click(21))) << "other ids are not the gauge's";
}

TEST(ChalkGauge, ActiveGaugeBlinksFasterTheLowerTheChalk) {
    Gauge g;
    g.gauge.SetActive(true);
    g.gauge.SetLevel(0);  // period 2500 ms
    std::vector<float> alphas;
    for (std::uint64_t t : {100, 100, 1300, 1300, 2400, 2400}) {
        g.gauge.Tick(t);
        alphas.push_back(g.gauge.LevelImage()->Alpha());
    }
    EXPECT_FLOAT_EQ(alphas[1], 0.3f);
    EXPECT_FLOAT_EQ(alphas[3], 0.7f);
    EXPECT_FLOAT_EQ(alphas[5], 0.7f);
    g.gauge.SetActive(false);
    g.gauge.Tick(0);
    g.gauge.Tick(0);
    EXPECT_FLOAT_EQ(g.gauge.LevelImage()->Alpha(), 0.5f);
}

struct Strip {
    FakeSceneHost host;
    net::PlayerRecord record;
    std::vector<net::ItemEntry> entries;
    PlayerPanel panel{&host, &record};
    explicit Strip(int qualifying) {
        entries.reserve(qualifying * 2 + 1);
        for (int i = 0; i < qualifying; ++i) {
            entries.push_back(Entry(4504 + i, net::ItemType::Effect, 3, 10 + i));
            entries.push_back(Entry(3000, net::ItemType::Cue));  // not for the strip
        }
        for (std::size_t i = 0; i < entries.size(); ++i) record.AddItem(100 + i, &entries[i]);
        panel.Create(0, 0);
        panel.Fill();
    }
};

TEST(PlayerPanel, TwelveItemsPageByTheScrollBarAndShowTheLastEntriesFirst) {
    Strip s(12);
    EXPECT_EQ(s.panel.QualifyingCount(), 12);
    EXPECT_EQ(s.panel.Scroll()->Range(), 3);
    for (int k = 0; k < PlayerPanel::kSlots; ++k) ASSERT_TRUE(s.panel.Slot(k)->IsVisible()) << k;
    // From the last entry to the first: the strip starts with the newest item.
    EXPECT_EQ(s.panel.Slot(0)->Item()->itemId, 4504u + 11);

    gui::CommandEvent scroll = Click(90);
    scroll.value = 3;
    EXPECT_TRUE(s.panel.OnCommand(scroll));
    EXPECT_EQ(s.panel.Slot(0)->Item()->itemId, 4504u + 9) << "items 3 to 12";
    EXPECT_EQ(s.panel.Slot(9)->Item()->itemId, 4504u);
    scroll.value = 7;
    s.panel.OnCommand(scroll);
    EXPECT_TRUE(s.panel.Slot(5)->IsVisible());
    EXPECT_FALSE(s.panel.Slot(6)->IsVisible()) << "slots past the list hide";
    EXPECT_EQ(s.panel.Slot(6)->Item(), nullptr);
}

TEST(PlayerPanel, AScrollUnderARestingCursorNamesTheNewItemAndARefillDropsAChoiceThatLeftTheRecord) {
    Strip s(12);
    s.panel.OnCommand(Hover(150, gui::CommandCode::MouseEnter));
    s.panel.OnCommand(Click(150));
    gui::CommandEvent scroll = Click(90);
    scroll.value = 3;
    s.panel.OnCommand(scroll);
    EXPECT_EQ(s.host.mouseMoves, 1) << "the toolkit finds the widget under the cursor again";
    EXPECT_EQ(s.panel.ItemLabel()->Text(), ItemNameOf(4504 + 9) + u" (19/19)")
        << "not the item scrolled away";
    ASSERT_NE(s.panel.SelectedEntry(), nullptr);
    s.record.RemoveItem(s.panel.SelectedEntry()->serial);
    s.panel.Fill();
    EXPECT_EQ(s.panel.SelectedEntry(), nullptr) << "a use request must not name an entry back in the pool";
}

TEST(PlayerPanel, HoverNamesTheItemAndAClickSelectsItAndPostsItsType) {
    Strip s(2);
    EXPECT_TRUE(s.panel.OnCommand(Hover(151, gui::CommandCode::MouseEnter)));
    EXPECT_TRUE(s.panel.ItemLabel()->IsVisible());
    EXPECT_EQ(s.panel.ItemLabel()->Text(), ItemNameOf(4504) + u" (10/10)");
    EXPECT_FLOAT_EQ(s.panel.Alpha(), 1.0f);
    s.panel.OnCommand(Hover(150, gui::CommandCode::MouseLeave));
    EXPECT_TRUE(s.panel.ItemLabel()->IsVisible()) << "leaving another slot keeps the label";
    s.panel.OnCommand(Hover(151, gui::CommandCode::MouseLeave));
    EXPECT_FALSE(s.panel.ItemLabel()->IsVisible());
    EXPECT_FLOAT_EQ(s.panel.Alpha(), 0.5f);

    EXPECT_TRUE(s.panel.OnCommand(Click(151)));
    EXPECT_EQ(s.panel.SelectedEntry(), &s.entries[0]);
    ASSERT_EQ(s.host.posted.size(), 1u);
    EXPECT_EQ(s.host.posted[0].code, 1086u);
    EXPECT_EQ(s.host.posted[0].a, 6u);
    EXPECT_TRUE(s.panel.OnCommand(Click(155))) << "an empty slot is quietly ignored";
    EXPECT_EQ(s.host.posted.size(), 1u);
    EXPECT_FALSE(s.panel.OnCommand(Click(160)));
}

TEST(PlayerInfoPanel, SlidesInTicksTheEquippedCueAndAClickPicksACueAndSlidesOut) {
    FakeSceneHost host;
    net::PlayerRecord record;
    std::vector<net::ItemEntry> cues;
    for (std::uint32_t id : {3000u, 3043u, 3050u}) cues.push_back(Entry(id, net::ItemType::Cue));
    net::ItemEntry chalk = Entry(4903, net::ItemType::Chalk);
    for (std::size_t i = 0; i < cues.size(); ++i) record.AddItem(10 + i, &cues[i]);
    record.AddItem(20, &chalk);
    record.equipment[10].cueSerial = 11;
    PlayerInfoPanel panel(&host, &record);
    panel.Create(10, 300);
    panel.SetSelectionSlot(10);
    panel.Show(true);
    EXPECT_EQ(panel.CueCount(), 3);
    EXPECT_EQ(panel.SelectedCue(), &cues[1]);
    EXPECT_EQ(panel.X(), -476);
    EXPECT_FALSE(panel.Card(0)->IsVisible()) << "cards stay hidden while off the screen";
    int ticks = 0;
    for (std::uint64_t t = 0; panel.Slide().state != PanelSlide::kResting && ticks < 100; t += 20, ++ticks)
        panel.Tick(t);
    EXPECT_EQ(ticks, 20) << "476 pixels at 25 a tick";
    EXPECT_EQ(panel.X(), 0);
    EXPECT_TRUE(panel.Card(2)->IsVisible());
    EXPECT_FALSE(panel.Card(3)->IsVisible()) << "three cues fill three cards";
    EXPECT_TRUE(panel.Card(1)->GetButton()->IsChecked()) << "the equipped cue";
    EXPECT_TRUE(panel.Abilities()->IsVisible());

    panel.OnCommand(Hover(100, gui::CommandCode::MouseEnter));
    EXPECT_EQ(panel.Abilities()->Title()->Text(), ItemNameOf(3050));
    panel.OnCommand(Hover(100, gui::CommandCode::MouseLeave));
    EXPECT_EQ(panel.Abilities()->Title()->Text(), ItemNameOf(3043)) << "back to the selected cue";

    EXPECT_TRUE(panel.OnCommand(Click(102)));
    EXPECT_EQ(panel.SelectedCue(), &cues[0]);
    EXPECT_TRUE(panel.Card(2)->GetButton()->IsChecked());
    EXPECT_FALSE(panel.Card(1)->GetButton()->IsChecked());
    ASSERT_EQ(host.posted.size(), 1u);
    EXPECT_EQ(host.posted[0].code, 1084u);
    EXPECT_EQ(host.posted[0].a, 1u);
    for (std::uint64_t t = 0; panel.IsVisible() && t < 4000; t += 20) panel.Tick(t);
    EXPECT_FALSE(panel.IsVisible()) << "slid out and hidden";
}

TEST(BuyOrGiftDialog, ACardClickOffersThePurchaseAndCashItemsHideForAccountKindTwo) {
    FakeSceneHost host;
    net::PlayerRecord record;
    BuyOrGiftDialog dialog(&host, &record);
    dialog.Create(0, 100);
    dialog.Show(true);
    for (std::uint64_t t = 0; dialog.Slide().state != PanelSlide::kResting; t += 20) dialog.Tick(t);
    EXPECT_EQ(dialog.ListedCount(), 2);
    EXPECT_FALSE(dialog.PurchaseButton()->IsVisible());
    EXPECT_FALSE(dialog.HintLine(0)->IsVisible());

    dialog.OnCommand(Hover(201, gui::CommandCode::MouseEnter));
    EXPECT_EQ(dialog.HintLine(0)->Text(), u"Buy " + dialog.Card(1)->Item()->name + u" item..");
    EXPECT_FALSE(dialog.OnCommand(Hover(201, gui::CommandCode::MouseLeave))) << "the leave goes on";
    EXPECT_FALSE(dialog.HintLine(0)->IsVisible()) << "nothing selected: no hint";

    EXPECT_TRUE(dialog.OnCommand(Click(200)));
    EXPECT_EQ(dialog.SelectedRecord(), dialog.Offers()[0]);
    EXPECT_TRUE(dialog.PurchaseButton()->IsVisible());
    EXPECT_FALSE(dialog.GiftButton()->IsVisible());
    EXPECT_TRUE(dialog.Card(0)->GetButton()->IsChecked());
    EXPECT_TRUE(dialog.HintLine(1)->IsVisible());
    EXPECT_TRUE(dialog.OnCommand(Click(93)));
    ASSERT_EQ(host.posted.size(), 1u);
    EXPECT_EQ(host.posted[0].code, 1098u);
    EXPECT_EQ(host.posted[0].a, 1u);
    EXPECT_EQ(host.posted[0].b, dialog.Offers()[0]->itemId) << "the room opens its purchase window on it";

    record.accountKind = 2;
    dialog.Fill();
    int cash = 0;
    for (const net::CatalogRecord* offer : dialog.Offers()) cash += offer->currency == 1;
    EXPECT_EQ(dialog.ListedCount(), 2 - cash);
    EXPECT_EQ(dialog.Card(1)->IsVisible(), cash == 0);
}

TEST(AbilityBars, PersonalCuesShowEnduranceAndUpPointsExceptTheCustomCue) {
    AbilityBars bars;
    bars.Create(0, 0);
    net::ItemEntry cue = Entry(3043, net::ItemType::Cue);
    cue.personal = 1;
    cue.remainingValue = 45500;
    cue.initialValue = 100000;
    cue.upgradeValue = 7999;
    cue.performance = {10, static_cast<std::uint8_t>(-3), 0, 0, 0};
    bars.SetItem(cue);
    EXPECT_EQ(bars.EnduranceValue()->Text(), u"45/100");
    EXPECT_TRUE(bars.UpPointValue()->IsVisible());
    EXPECT_EQ(bars.UpPointValue()->Text(), u"7");
    EXPECT_EQ(bars.RowValue(0)->Text(), u"+10");
    EXPECT_EQ(bars.RowValue(1)->Text(), u"-2%") << "a negative value truncates toward zero";
    cue.itemId = 3100;
    bars.SetItem(cue);
    EXPECT_FALSE(bars.UpPointValue()->IsVisible());
    cue.personal = 0;
    bars.SetItem(cue);
    EXPECT_EQ(bars.EnduranceName()->Text(), u"Limited time");
}

}  // namespace
