// What a player sees of the shop, the personal cue windows, the purchase window, the gallery's
// windows and the practice and school panels: every text inside its card, panel or window and
// apart from the others, captions inside their buttons, no control over another or over a text.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/ItemPreview.h"
#include "gui/NoticeBox.h"
#include "gui/ScrollBar.h"
#include "gui/TextLabel.h"
#include "net/GameTypes.h"
#include "net/PlayerRecord.h"
#include "platform/video/RecordingBackend.h"
#include "scenes/front/HelpWindow.h"
#include "scenes/front/Messenger.h"
#include "scenes/front/NickChangeDialog.h"
#include "scenes/front/PracticeSetupDialog.h"
#include "scenes/front/SceneLobby.h"
#include "scenes/room/gallery/ShotGalleryListWindow.h"
#include "scenes/room/gallery/ShotViewWindow.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/PlayerPanel.h"
#include "scenes/room/hud/ReplayControlPanel.h"
#include "scenes/room/offline/SceneAlone.h"
#include "scenes/room/practice/EarnGoldDialogs.h"
#include "scenes/room/practice/SceneRoomPractice.h"
#include "scenes/room/school/SceneSchool.h"
#include "scenes/room/school/TutorialIndex.h"
#include "scenes/shared/PurchaseDialog.h"
#include "scenes/shop/MembershipDialog.h"
#include "scenes/shop/SceneShop.h"
#include "scenes/shop/ShopCodes.h"
#include "scenes/shop/ShopDialogs.h"
#include "scenes/shop/cue/CuePartsPurchaseDialog.h"
#include "scenes/shop/cue/PersonalCuePurchaseWindow.h"
#include "scenes/shop/cue/PersonalCueWindow.h"
#include "tests/e2e/gallery/GalleryTestServer.h"
#include "tests/scenes/shop/ShopTestHost.h"
#include "tests/scenes/support/FakeSceneHost.h"
#include "tests/scenes/support/LayoutBoxes.h"
#include "tests/scenes/support/PracticeSteps.h"
#include "tests/scenes/support/TableSceneHost.h"

namespace {

using namespace layout_test;
using namespace scenes;

class CueHost : public ShopTestHost {
public:
    gui::NoticeBox* GetNoticeBox() override { return &first; }
    gui::NoticeBox* GetSecondNoticeBox() override { return &second; }
    int ClientWidth() const override { return width; }
    int ClientHeight() const override { return height; }
    gui::NoticeBox first, second;
    int width = 1024, height = 768;
};

gui::CommandEvent Event(std::uint32_t id, gui::Widget* source = nullptr) {
    return {source, id, 0, gui::CommandCode::Event};
}

// The shop on a player who owns one of every item the shop describes and two personal cues.
class ShopLayoutTest : public testing::Test {
protected:
    void SetUp() override {
        host.session->own.money = 125000;
        host.session->own.cash = 3000;
        host.session->clubMembership = 2;
        host.session->membershipExpiry = u"2027-01-31 23:59";
        std::uint64_t serial = 100;
        for (const ItemDescription& d : descriptions.Records())
            if (d.record) host.Own(serial++, d.itemId, d.record->type, d.record->usageKind, 0, 30, 30);
        for (std::uint32_t item : {3100u, 3104u, 3100u, 3104u}) {
            net::ItemEntry* cue = host.Own(serial++, item, 1, 3, 1, 1000000, 50000);
            cue->personal = 1;
            cue->cueName = item == 3100 ? u"Custom cue" : u"International tuning cue";
        }
        shop.SetHost(&host);
        shop.Show(true);
        shop.Enter();
    }
    // The toolkit's screen, which a size below changes, is left as it was found.
    void TearDown() override { SetClientSize(1024, 768); }
    // The window made this size, as the application tells every scene.
    void SetClientSize(int w, int h) {
        host.width = w;
        host.height = h;
        shop.gui::Widget::Resize(w, h);
        shop.LayoutChildren(w, h);
        shop.Resize(w, h);
    }
    // Where the shop's layout lies on a client of that size: 1024 wide, at most 768 high, centred.
    static Box LayoutBox(int w, int h) {
        const int height = std::min(h, 768);
        return {"the shop's layout", (w - 1024) / 2, (h - height) / 2, (w + 1024) / 2, (h + height) / 2};
    }
    // A slot clicked in its middle, where the manage menu opens under it.
    void ClickSlot(PersonalCueWindow& window, int slot) {
        const PersonalCueSlot& s = *window.Slot(slot);
        gui::GetGuiState().mouseX = s.ScreenX() + s.Width() / 2;
        gui::GetGuiState().mouseY = s.ScreenY() + s.Height() / 2;
        window.OnCommand(
            Event(cue_control::kFirstSlot + static_cast<std::uint32_t>(slot), window.Slot(slot)));
    }
    CueHost host;
    ItemDescriptionTable descriptions;
    SceneShop shop;
};

TEST_F(ShopLayoutTest, CardsOfEveryCategoryAndPageKeepTheirNamesAndPricesOnTheCard) {
    for (int category : {8, 7, 1, 2, 3, 4}) {
        shop.OnCommand(Event(shop_control::kShopCategoryBase + static_cast<std::uint32_t>(category), &shop));
        for (int position = 1; position <= shop.ShopScroll()->Range(); ++position) {
            shop.OnCommand(gui::CommandEvent{shop.ShopScroll(), shop_control::kShopScroll, position});
            const std::string context =
                "category " + std::to_string(category) + " row " + std::to_string(position);
            for (int i = 0; i < kCardsPerGrid; ++i)
                if (shop.ShopCard(i)->IsVisible()) ExpectTidy(*shop.ShopCard(i), context);
            // The category tabs stand over the grid's top edge: the main panel frames them.
            ExpectTidy(*shop.ShopCard(0)->GetParent()->GetParent(), context);
        }
    }
}

TEST_F(ShopLayoutTest, OwnedCardsOfEveryCategoryKeepTheirTextsOnTheCard) {
    shop.OnCommand(Event(shop_control::kInventoryTab, &shop));
    for (int category : {7, 1, 2, 3, 4, 9, 10}) {
        shop.OnCommand(
            Event(shop_control::kInventoryCategoryBase + static_cast<std::uint32_t>(category), &shop));
        for (int position = 1; position <= shop.InventoryScroll()->Range(); ++position) {
            shop.OnCommand(
                gui::CommandEvent{shop.InventoryScroll(), shop_control::kInventoryScroll, position});
            ExpectTidy(*shop.InventoryCard(0)->GetParent()->GetParent(),
                       "category " + std::to_string(category) + " row " + std::to_string(position));
        }
    }
}

TEST_F(ShopLayoutTest, TheDetailOfEveryItemStaysInsideItsPanelInBothLayouts) {
    ItemDetailPanel& detail = *shop.Detail();
    for (const ItemDescription& d : descriptions.Records()) {
        detail.Fill(&d, d.record, nullptr, DetailLayout::Catalogue);
        detail.ShowButtons(DetailLayout::Catalogue);
        detail.Show(true);
        ExpectTidy(detail, "catalogue " + std::to_string(d.itemId));
    }
    for (net::ItemEntry* e : host.session->own.Items()) {
        e->newMark = 2;
        e->giftSender = u"FromAVeryLongNickname";
        e->giftMessage = u"Happy birthday, enjoy this present and win many games with it!";
        const ItemDescription* d = descriptions.Find(e->itemId);
        detail.Fill(d, d ? d->record : nullptr, e, DetailLayout::Owned);
        detail.ShowButtons(DetailLayout::Owned);
        ExpectTidy(detail, "owned " + std::to_string(e->itemId));
    }
    // A long description wraps onto the next lines instead of running past the edge.
    const ItemDescription* chalk = descriptions.Find(4903);
    ASSERT_NE(chalk, nullptr);
    detail.Fill(chalk, chalk->record, nullptr, DetailLayout::Catalogue);
    EXPECT_FALSE(detail.DescriptionLine(1)->Text().empty());
    EXPECT_EQ(detail.NameLine()->Text(), chalk->record->name)
        << "the card may cut the name; the panel shows it";
}

// On a larger client the shop stood 1024 wide in the top left corner, its preview stretched to the far
// corner. Its layout lies in the middle, as the lobby's, and a lower client gives it its height.
TEST_F(ShopLayoutTest, ThePreviewFillsTheCornerUnderTheDetailAndFollowsTheWindowSize) {
    shop.OnCommand(Event(shop_control::kFirstShopCard, &shop));
    for (const auto& [w, h] : {std::pair{1024, 768}, std::pair{1280, 720}, std::pair{1280, 960},
                               std::pair{1920, 1080}, std::pair{2560, 1440}}) {
        SetClientSize(w, h);
        const ItemPreviewPanel& preview = *shop.PreviewPanel();
        const std::string context = std::to_string(w) + "x" + std::to_string(h);
        const Box layout = LayoutBox(w, h);
        ForEachShown(*shop.Layout(), [&](const gui::Widget& widget) {
            const Box box = ScreenBox("control " + std::to_string(widget.Id()), widget);
            EXPECT_TRUE(Inside(box, layout)) << context << ": " << box.name << " at " << box.left << ", "
                                             << box.top << " lies outside the layout";
        });
        // The main panel, its grid inside it, ends above the membership strip at the layout's bottom.
        const gui::Widget& main = *shop.ShopCard(0)->GetParent()->GetParent();
        EXPECT_LE(ScreenBox("main", main).bottom,
                  layout.bottom - shop.MembershipLabel(0)->GetParent()->Height())
            << context;
        ExpectTidy(main, context);
        ASSERT_TRUE(preview.IsVisible());
        const Box corner = ScreenBox("preview", preview);
        EXPECT_EQ(corner.right, layout.right - 10) << context;
        EXPECT_EQ(corner.bottom, layout.bottom - 50) << context;
        EXPECT_EQ(preview.Preview()->Width(), preview.Width() - 12) << context << ": the 3D view follows";
        EXPECT_FALSE(Overlap(corner, ScreenBox("detail", *shop.Detail()))) << context;
        EXPECT_GE(corner.left, layout.left + 568) << context << ": the preview stays right of the main panel";
    }
}

TEST_F(ShopLayoutTest, ACueWindowShowsItsCueUnderItselfAndGivesThePreviewBack) {
    const ItemPreviewPanel& preview = *shop.PreviewPanel();
    const int homeX = preview.X(), homeY = preview.Y();
    const net::ItemRecord* custom = net::GetItemTable().Find(3100);
    ASSERT_NE(custom, nullptr);
    PersonalCuePurchaseWindow& window = *shop.CuePurchase();
    window.SetCueType(*custom);
    window.Show(true);
    ASSERT_TRUE(preview.IsVisible());
    EXPECT_FALSE(Overlap(ScreenBox("preview", preview), ScreenBox("window", window)))
        << "the whole cue covers the window's buttons";
    EXPECT_TRUE(Inside(ScreenBox("preview", preview), {"client", 0, 0, 1024, 768}));
    window.Show(false);
    EXPECT_FALSE(preview.IsVisible());
    EXPECT_EQ(preview.X(), homeX);
    EXPECT_EQ(preview.Y(), homeY);
    const auto& layers = shop.Children();
    EXPECT_LT(std::find(layers.begin(), layers.end(), &preview),
              std::find(layers.begin(), layers.end(), shop.Layout()))
        << "back home the preview lies over the layout, where the messenger opens";
    EXPECT_EQ(preview.Preview()->viewDistance, 0.0f) << "a dialog's camera stayed on the shop's preview";
}

TEST_F(ShopLayoutTest, ThePurchaseWindowKeepsPricesClearOfTheirRadioBoxesForEveryItemAndMode) {
    PurchaseDialog& dialog = *shop.Purchase();
    host.session->inClan = true;
    host.session->clanName = u"TheLongestClanName";
    for (const ItemDescription* d : shop.SaleList()) {
        for (PurchaseMode mode : {PurchaseMode::Purchase, PurchaseMode::Gift, PurchaseMode::ClanGift}) {
            dialog.SetMode(mode);
            dialog.SetProduct(d->record);
            dialog.Show(true);
            ExpectTidy(dialog, "item " + std::to_string(d->itemId) + " mode " +
                                   std::to_string(static_cast<int>(mode)));
            dialog.Show(false);
        }
    }
}

TEST_F(ShopLayoutTest, ThePersonalCueWindowKeepsItsDetailsAndHintInside) {
    PersonalCueWindow& window = *shop.CueWindow();
    window.Show(true);
    // The manage menu of each slot, clicked in its middle, covers no detail row, slot or hint line.
    for (int slot = 0; slot < PersonalCueWindow::kSlots; ++slot) {
        ClickSlot(window, slot);
        ASSERT_TRUE(window.Menu()->IsVisible());
        ExpectTidy(window, "slot " + std::to_string(slot) + " with its menu");
    }
    // The slot is tall and narrow: the cue stands in it rather than lying across as a line.
    const gui::ItemPreview& slotView = *window.Slot(0)->Preview();
    EXPECT_LT(slotView.Width() * 10, slotView.Height() * 6);
}

TEST_F(ShopLayoutTest, EveryPageOfTheCuePurchaseWindowKeepsItsTextsInside) {
    PersonalCuePurchaseWindow& window = *shop.CuePurchase();
    for (std::uint32_t item : {3100u, 3104u}) {
        const net::ItemRecord* record = net::GetItemTable().Find(item);
        ASSERT_NE(record, nullptr);
        window.SetCueType(*record);
        window.Show(true);
        for (int page = 1; page <= PersonalCuePurchaseWindow::kPages; ++page) {
            if (page == 2)
                for (int k = 0; k < 5; ++k)
                    for (int step = 0; step < 40; ++step)
                        window.OnCommand(Event(cue_purchase_control::kFirstMinus + 2 * k + 1));
            ExpectTidy(window, "cue " + std::to_string(item) + " page " + std::to_string(page));
            window.OnCommand(Event(cue_purchase_control::kNext));
        }
        window.Show(false);
    }
}

TEST_F(ShopLayoutTest, ThePartsDialogOfEveryGroupKeepsItsTextsInside) {
    PersonalCueWindow& window = *shop.CueWindow();
    CuePartsPurchaseDialog& parts = *window.Parts();
    ItemPreviewPanel& panel = *shop.PreviewPanel();
    shop.OnCommand(Event(shop_control::kFirstShopCard, &shop));
    const std::uint32_t selected = panel.Item();
    window.Show(true);
    ClickSlot(window, 0);
    window.OnCommand(Event(cue_control::kMenuParts, window.Menu()));
    ASSERT_TRUE(parts.IsVisible() && panel.IsVisible());
    // As it opens, before any card is picked, the whole cue lies clear of the dialog's buy and close
    // row and of the cue window, inside the client area.
    const Box preview = ScreenBox("preview", panel);
    EXPECT_FALSE(Overlap(preview, ScreenBox("parts", parts)));
    EXPECT_FALSE(Overlap(preview, ScreenBox("cue window", window)));
    EXPECT_TRUE(Inside(preview, {"client", 0, 0, 1024, 768}));
    for (int group = 0; group < 5; ++group) {
        parts.OnCommand(Event(parts_control::kFirstTab + static_cast<std::uint32_t>(group)));
        ExpectTidy(parts, "group " + std::to_string(group));
    }
    // Its own close gives the panel back to the selection, under the cue window that stays open.
    parts.OnCommand(Event(cue_control::kClose));
    const auto& layers = shop.Children();
    EXPECT_TRUE(panel.IsVisible() && panel.Item() == selected) << "the selection lost its preview";
    EXPECT_LT(std::find(layers.begin(), layers.end(), &panel),
              std::find(layers.begin(), layers.end(), &window))
        << "the shop's preview lies over the cue window";
    ClickSlot(window, 0);
    window.OnCommand(Event(cue_control::kMenuParts, window.Menu()));
    ASSERT_TRUE(parts.IsVisible());
    // Closed with the parts dialog open, the window takes the dialog and the whole cue with it, under
    // one close sound, and the selection has its preview again.
    std::vector<int> played;
    gui::Dialog::SetSoundPlayer([&played](int id) { played.push_back(id); });
    window.OnCommand(Event(cue_control::kClose));
    gui::Dialog::SetSoundPlayer(nullptr);
    EXPECT_EQ(played, std::vector<int>{32});
    EXPECT_FALSE(parts.IsVisible());
    EXPECT_TRUE(panel.IsVisible() && panel.Item() == selected) << "the whole cue stayed, or nothing";
}

TEST_F(ShopLayoutTest, EveryWindowOpensCentredAtAnySizeAndIsCentredAgainWhenTheClientShrinks) {
    host.session->own.level = 10;  // the first owned item, a time-limited cue, asks before it is activated
    for (const auto& [w, h] : {std::pair{1920, 1080}, std::pair{1024, 768}}) {
        SetClientSize(w, h);
        shop.OnCommand(Event(shop_control::kInventoryTab, &shop));
        shop.OnCommand(Event(shop_control::kFirstInventoryCard, &shop));
        shop.OnMessage(shop_message::kCheckUse, 0, 0);
        shop.OnMessage(shop_message::kCheckDelete, 0, 0);
        shop.OnMessage(shop_message::kShowPicture, 0, 0);
        shop.OnMessage(shop_message::kShowImagePanel, 0, 0);
        shop.OnCommand(Event(shop_control::kMembership, &shop));
        shop.OnCommand(Event(shop_control::kPersonalCue, &shop));
        for (gui::Widget* window :
             std::initializer_list<gui::Widget*>{shop.Activate(), shop.DeleteDialog(), shop.Picture(),
                                                 shop.ImagePanel(), shop.Membership(), shop.CueWindow()}) {
            const Box box = ScreenBox("window", *window);
            EXPECT_TRUE(window->IsVisible() && std::abs(box.left + box.right - w) <= 1 &&
                        std::abs(box.top + box.bottom - h) <= 1)
                << w << " wide: window at " << box.left << ", " << box.top;
            EXPECT_TRUE(Inside(box, LayoutBox(w, h))) << w << " wide: a window lies off the shop";
            window->Show(false);
        }
        // What opens from a window stays on the screen: the gift's friend list, a cue slot's menu, the
        // parts dialog and the whole cue it shows beside itself.
        const Box screen{"screen", 0, 0, w, h};
        host.session->friends.assign(3, {1, 1, 0, u"Friend"});
        shop.OnCommand(Event(shop_control::kShopTab, &shop));
        shop.OnCommand(Event(shop_control::kFirstShopCard, &shop));
        shop.OnMessage(shop_message::kOpenPurchase, 2, 0);
        PurchaseDialog& purchase = *shop.Purchase();
        purchase.OnCommand(
            Event(PurchaseDialog::kFriendList, purchase.FindById(PurchaseDialog::kFriendList)));
        ASSERT_TRUE(purchase.Recipients()->IsVisible());
        EXPECT_TRUE(Inside(ScreenBox("friends", *purchase.Recipients()), screen)) << w << " wide";
        purchase.Show(false);
        PersonalCueWindow& cues = *shop.CueWindow();
        cues.Show(true);
        ClickSlot(cues, 0);
        EXPECT_TRUE(Inside(ScreenBox("slot menu", *cues.Menu()), screen)) << w << " wide";
        cues.OnCommand(Event(cue_control::kMenuParts, cues.Menu()));
        const Box parts = ScreenBox("parts", *cues.Parts()), cue = ScreenBox("cue", *shop.PreviewPanel());
        EXPECT_TRUE(Inside(parts, screen) && Inside(cue, screen) && !Overlap(parts, cue))
            << w << " wide: the whole cue at " << cue.left << ", " << cue.top;
        cues.Show(false);
    }
    // Open on a large client that shrinks, each window is centred again, and the whole cue stays beside
    // the parts dialog.
    const auto expectCentredOnTheShrunkClient = [&](std::initializer_list<gui::Widget*> windows) {
        SetClientSize(1024, 768);
        for (gui::Widget* window : windows) {
            const Box box = ScreenBox("window", *window);
            EXPECT_TRUE(std::abs(box.left + box.right - 1024) <= 1 &&
                        std::abs(box.top + box.bottom - 768) <= 1)
                << "a window stayed at " << box.left << ", " << box.top;
        }
    };
    SetClientSize(1920, 1080);
    shop.OnCommand(Event(shop_control::kFirstShopCard, &shop));
    shop.OnMessage(shop_message::kOpenPurchase, 1, 0);
    shop.NickChange()->Show(true);
    expectCentredOnTheShrunkClient({shop.Purchase(), shop.NickChange()});
    shop.Purchase()->Show(false);
    shop.NickChange()->Show(false);
    SetClientSize(1920, 1080);
    PersonalCueWindow& cues = *shop.CueWindow();
    cues.Show(true);
    ClickSlot(cues, 0);
    cues.OnCommand(Event(cue_control::kMenuParts, cues.Menu()));
    expectCentredOnTheShrunkClient({&cues});
    const Box parts = ScreenBox("parts", *cues.Parts()), cue = ScreenBox("cue", *shop.PreviewPanel());
    EXPECT_TRUE(Inside(cue, {"screen", 0, 0, 1024, 768}) && !Overlap(parts, cue))
        << "the whole cue at " << cue.left << ", " << cue.top;
    cues.Show(false);
}

// The messenger opened over the shop with an item chosen: it covers none of the item's price lines and
// buttons, nor its card, on a client that leaves no room beside the layout too (it goes over other cards).
TEST_F(ShopLayoutTest, TheMessengerLeavesTheChosenItemsPricesButtonsAndCardUncovered) {
    Messenger messenger(&host);
    host.messenger = &messenger;
    messenger.MoveToScene(shop);
    shop.OnCommand(Event(shop_control::kFirstShopCard, &shop));
    const ItemDetailPanel& detail = *shop.Detail();
    std::vector<const gui::Widget*> chosen{shop.ShopCard(0)->Face(), detail.ButtonById(shop_control::kBuy)};
    for (int i = 7; i < ItemDetailPanel::kValueLines; ++i) chosen.push_back(detail.ValueLine(i));  // prices
    for (const auto& [w, h] : {std::pair{1024, 768}, std::pair{1280, 720}}) {
        SetClientSize(w, h);
        messenger.Show(false);
        shop.OnCommand(Event(shop_control::kMessenger, &shop));
        const Box box = ScreenBox("messenger", messenger);
        for (const gui::Widget* c : chosen)
            EXPECT_FALSE(Overlap(box, ScreenBox("chosen", *c)))
                << w << " wide: the messenger at " << box.left << ", " << box.top << " covers "
                << c->ScreenX() << ", " << c->ScreenY();
    }
    host.messenger = nullptr;
}

TEST(HelpLayout, EveryLineOfTheControlsPageFitsItsLabel) {
    HelpWindow help;
    help.Open(HelpWindow::kControls, 0);
    for (int i = 0; i < HelpWindow::kLineCount; ++i) {
        const WString& line = help.Line(i);  // the headings (not indented) are bold
        EXPECT_LE(gui::MeasureTextWidth(line[0] == u' ' ? gui::kFont12 : gui::kFont12Bold, line),
                  HelpWindow::kWidth - 60)
            << i;
    }
}

TEST(OfflineLayout, EveryGameNameFitsItsButtonInTheRoomSetting) {
    PracticeSetupDialog dialog;
    dialog.Show(true);
    ExpectTidy(dialog, "room setting");
}

// The replay panel with the button strip that hangs under its view.
Box ReplayPanelBox(const gui::Widget& replay) {
    return {"replay panel", replay.ScreenX(), replay.ScreenY(), replay.ScreenX() + replay.Width(),
            replay.ScreenY() + 258 + 51};
}

TEST(PracticeLayout, TheReplayPanelNamesEachButtonAndTheMissionWindowsKeepTheirTextsInside) {
    FakeSceneHost host;
    hud::ReplayControlPanel replay(&host);
    replay.Create();
    replay.Show(true);
    int named = 0;
    ForEachShown(replay, [&](const gui::Widget& w) {
        const auto* b = dynamic_cast<const gui::Button*>(&w);
        if (!b || b->Id() == hud::ReplayControlPanel::kCloseId) return;
        EXPECT_FALSE(b->Caption().empty()) << "button " << b->Id() << " is blank";
        ++named;
    });
    EXPECT_GE(named, 6);
    const Box frame = ReplayPanelBox(replay);
    ExpectTidy(replay, "replay panel", &frame);

    net::PlayerRecord record;
    record.money = 2500;
    EarnGoldRulesDialog rules(&host, &record);
    ASSERT_TRUE(rules.Fill(12));
    rules.Show(true);
    ExpectTidy(rules, "mission rules");
    EarnGoldStatusPanel status;
    status.SetRow(*practice::MissionRowFor(12));
    status.ShowCounters(20, 15, 0.75);
    status.Show(true);
    ExpectTidy(status, "mission status");
}

// A best-shots page of long titles and names, with prizes.
std::string LongRowsReply() {
    std::vector<std::string> fields{"1", "0", "3"};
    for (int i = 0; i < 3; ++i)
        for (const std::string& f :
             {std::to_string(90001 + i), std::string("A very long title of my best bank shot ever"),
              std::string("LongNickname"), std::string(i == 0 ? "3" : "4"), std::string("2009-12-25"),
              std::string("x"), std::string("100")})
            fields.push_back(f);
    return gallery_test::Fields(fields);
}

TEST(GalleryLayout, RowsWithPrizesAndTheDateListsStayInsideTheListWindow) {
    gallery_test::GalleryTestServer server([](const gallery_test::Request&) {
        return gallery_test::Answer{gallery_test::Answer::Kind::Reply, 200, LongRowsReply(), true};
    });
    GalleryClient client(server.HostSetting());
    client.SetTimeouts(2000, 3000);
    ShotGalleryListWindow window(client);
    window.Reset();
    window.Show(true);
    ASSERT_TRUE(window.Row(0)->IsVisible());
    ASSERT_TRUE(window.Row(0)->PrizeLabel()->IsVisible());
    ExpectTidy(window, "best shots");
    // The year list shows its whole year beside the arrow.
    const gui::ComboBox& year = *window.DateList(0);
    EXPECT_LE(gui::MeasureTextWidth(gui::kFont12, u"2009"), year.Width() - year.Height() - 4);

    GalleryClient nowhere("127.0.0.1:1");
    ShotGalleryListWindow unreached(nowhere);
    unreached.Reset();
    unreached.Show(true);
    ASSERT_TRUE(unreached.UnreachableLine()->IsVisible()) << "nothing listening, as with a host that is down";
    EXPECT_FALSE(unreached.NoBestLine()->IsVisible());
    ExpectTidy(unreached, "gallery not reached");
}

TEST(GalleryLayout, TheShotWindowKeepsItsRowsInside) {
    std::atomic<int> status{200};
    std::vector<std::string> fields{"0",
                                    "LongNickname",
                                    "A very long title of my best bank shot ever",
                                    "Three cushions and a kiss off the red",
                                    "120",
                                    "ABCD",
                                    "5"};
    for (int i = 0; i < 5; ++i)
        for (const std::string& f : {std::string("Nickname") + std::to_string(i), std::string("10"),
                                     std::string("What a shot, I could never make that one")})
            fields.push_back(f);
    const std::string reply = gallery_test::Fields(fields);
    gallery_test::GalleryTestServer server([&reply, &status](const gallery_test::Request&) {
        return gallery_test::Answer{gallery_test::Answer::Kind::Reply, status.load(), reply, true};
    });
    GalleryClient client(server.HostSetting());
    FakeSceneHost host;
    net::PlayerRecord me;
    me.nickname = u"me";
    ShotViewWindow window(client);
    window.SetContext(&host, &me);
    window.SetShotSeq(5001);
    window.Show(true);
    ASSERT_TRUE(window.Loaded());
    ExpectTidy(window, "shot window");
    // The reply dialog keeps its prompt inside, for another's shot and for the own.
    ShotReplyDialog& replyDialog = *window.ReplyDialog();
    for (const bool own : {false, true}) {
        replyDialog.Prepare(own, 5001);
        replyDialog.Show(true);
        ExpectTidy(replyDialog, own ? "reply to the own shot" : "reply");
        const gui::ComboBox& points = *replyDialog.PointsList();
        EXPECT_LE(gui::MeasureTextWidth(gui::kFont12, u"10Pts"), points.Width() - points.Height() - 4);
        replyDialog.Show(false);
    }
    status = 500;  // a failed reload says so and leaves no shot to play or half-shown
    window.Reload();
    ASSERT_TRUE(window.UnreachableLine()->IsVisible());
    EXPECT_TRUE(!window.Loaded() && window.TitleLabel()->Text().empty());
    ExpectTidy(window, "shot window, gallery not reached");
}

// The offline table, then the practice room before and during an 8-ball mission and with the replay
// panel open, seen from above at 1024 x 768 and 1280 x 960: the title bar, corner buttons, key guide,
// mission panel, replay panel, chalk gauge, item strip, chat lines and shot controls apart, and the
// whole table clear of them all. The mission panel stands in the key guide's column, off the window's
// edge, "Give up" inside it.
TEST(TableScenesLayout, TheOfflineTableAndThePracticeMissionShowTheWholeTableFromAboveBesideTheirPanels) {
    auto device = std::make_unique<RenderDevice>(std::make_unique<platform::RecordingBackend>());
    device->SetDisplayMode(platform::DisplayMode{});
    device->ApplyDisplayMode();
    for (const auto& client : {std::pair{1024, 768}, std::pair{1280, 960}}) {
        const int width = client.first, height = client.second;
        const std::string size = std::to_string(width) + "x" + std::to_string(height) + " ";
        TableSceneHost host(*device, width, height);
        host.session.GetRoom().gameType = 10;
        host.session.own.money = 1000;
        gui::NoticeBox::SetPoster(
            [&host](std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t) {
                host.queue.push_back({code, a, b});
            });
        const Box screen{"screen", 0, 0, width, height};
        const auto check = [&](GameScene& scene, std::vector<Box> boxes, const std::string& context) {
            auto& table = dynamic_cast<TableScene&>(scene);
            table.World()->SetTopView(true);
            host.Pump(scene, 300);
            boxes.push_back({"title bar", 10, 4, 10 + 392, 4 + 30});
            for (const gui::Widget* child : scene.Children())
                if (dynamic_cast<const gui::Button*>(child) && child->IsVisible() && child->Y() == 4)
                    boxes.push_back(ScreenBox("corner button " + std::to_string(child->Id()), *child));
            const table::ControlRect tip = table.World()->TipControl(),
                                     bar = table.World()->ElevationControl();
            boxes.push_back({"shot controls", bar.left - 16, tip.top, tip.right, tip.bottom});
            ExpectApart(boxes, size + context);
            const Box onScreen = TableOnScreen(*table.World());
            EXPECT_TRUE(Inside(onScreen, screen)) << size << context;
            for (const Box& box : boxes)
                EXPECT_FALSE(Overlap(onScreen, box)) << size << context << ": " << box.name;
            EXPECT_GT((onScreen.right - onScreen.left) * 2, width)
                << size << context << ": the table is drawn small";
        };
        SceneAlone offline;
        ASSERT_TRUE(host.Enter(offline));
        check(offline,
              {ScreenBox("chalk gauge", *offline.Gauge()), ScreenBox("item strip", *offline.ItemStrip())},
              "offline");
        host.Leave(offline);
        SceneRoomPractice practice;
        ASSERT_TRUE(host.Enter(practice));
        host.Pump(practice, 50);
        for (const bool mission : {false, true}) {
            if (mission) StartMissionByClicks(practice, host);
            std::vector<Box> boxes = {ScreenBox("chalk gauge", *practice.Gauge()),
                                      ScreenBox("item strip", *practice.ItemStrip()),
                                      ScreenBox("key guide", *practice.KeyGuide())};
            for (int k = 0; k < 8; ++k)
                if (practice.ChatRow(k)->IsVisible())
                    boxes.push_back(TextBox("chat line", *practice.ChatRow(k)));
            boxes.push_back(mission ? ScreenBox("mission panel", *practice.StatusPanel())
                                    : ScreenBox("earn gold", *practice.EarnGoldButton()));
            check(practice, boxes, mission ? "mission" : "free practice");
        }
        const Box guide = ScreenBox("key guide", *practice.KeyGuide());
        const Box panel = ScreenBox("mission panel", *practice.StatusPanel());
        EXPECT_EQ(panel.left, guide.left) << size;
        EXPECT_EQ(panel.right, guide.right) << size;
        EXPECT_TRUE(Inside(panel, {"screen", 4, 4, width - 4, height - 4})) << size << "at the window's edge";
        ExpectTidy(*practice.StatusPanel(), size + "mission panel");
        // The last shot's replay panel opens left of the right column, under the mission panel; the
        // table gives it room.
        practice.Replay()->Show(true);
        practice.Render(nullptr, false);
        check(practice,
              {ScreenBox("chalk gauge", *practice.Gauge()), ScreenBox("item strip", *practice.ItemStrip()),
               ScreenBox("mission panel", *practice.StatusPanel()), ReplayPanelBox(*practice.Replay())},
              "replay panel");
        host.Leave(practice);
        gui::NoticeBox::SetPoster(nullptr);
    }
}

// On the course end's page at any size: the shot controls below the guide's panel and above the
// tutorial index (its tabs included), and the course end's ways out apart from them all.
TEST(SchoolLayout, TheShotControlsStandAboveTheTutorialIndexUnderTheGuideAndClearOfTheWaysOut) {
    auto device = std::make_unique<RenderDevice>(std::make_unique<platform::RecordingBackend>());
    device->SetDisplayMode(platform::DisplayMode{});
    device->ApplyDisplayMode();
    for (const auto& [width, height] : {std::pair{1024, 768}, std::pair{1280, 720}, std::pair{1920, 1080}}) {
        const std::string size = std::to_string(width) + "x" + std::to_string(height);
        TableSceneHost host(*device, width, height);
        SceneSchool scene;
        ASSERT_TRUE(host.Enter(scene));
        scene.Enter();
        scene.Resize(width, height);
        scene.OnMessage(school_message::kTopicChosen, 13, 0);
        ASSERT_EQ(scene.Step(), 13) << size;
        table::TableWorld& world = *scene.World();
        const table::ControlRect tip = world.TipControl(), bar = world.ElevationControl();
        // The power bar stands 16 pixels left of the elevation bar.
        const Box controls{"shot controls", bar.left - 16, tip.top, tip.right, tip.bottom};
        if (height >= 768) {
            EXPECT_EQ(controls.top, height - 460) << size;
        }
        EXPECT_TRUE(Inside(controls, {"client", 0, 0, width, height})) << size;
        EXPECT_GE(controls.top, 10 + 285) << size << ": the guide's panel covers the controls";
        Box index = ScreenBox("tutorial index", *scene.Index());
        index.left -= TutorialIndex::kTabsLeft;
        std::vector<Box> boxes = {controls, index, {"guide panel", 0, 10, 1024, 10 + 285}};
        for (std::uint32_t id : {SceneSchool::kPracticeRoomId, SceneSchool::kShopId, SceneSchool::kLobbyId}) {
            const gui::Button& way = *scene.Button(id);
            ASSERT_TRUE(way.IsShownOnScreen()) << size << " " << id;
            boxes.push_back(ScreenBox("way out " + std::to_string(id), way));
            EXPECT_TRUE(Inside(boxes.back(), {"client", 0, 0, width, height})) << size << " " << id;
        }
        ExpectApart(boxes, size);
        host.Leave(scene);
    }
}

// The messenger opened from the lobby's menu. At 1920 x 1080 it opens at the client's right beside the
// centred layout, over none of the lobby's controls; at 1024 x 768 and 1280 x 720 no place of its size is
// clear of them, and it covers the least it can (part of Refresh and Channels), never the menu. It lies
// below the window's caption strip. Dragged, it keeps its place (inside the client area) when closed,
// opened and resized, until the lobby is entered again.
TEST(LobbyLayout, TheMessengerOpensClearOfTheLobbysButtonsWhereTheClientHasRoomAndStaysWhereItIsDragged) {
    FakeSceneHost host;
    Messenger messenger(&host);
    host.messenger = &messenger;
    SceneLobby lobby;
    lobby.SetHost(&host);
    lobby.Show(true);
    lobby.Enter();
    const auto open = [&](int w, int h) {
        lobby.gui::Widget::Resize(w, h);
        lobby.LayoutChildren(w, h);
        messenger.Show(false);
        lobby.OnCommand({lobby.FindById(3714), 3714, 0});  // Messenger
        return ScreenBox("messenger", messenger);
    };
    for (const auto& [w, h, expected] : {std::tuple{1920, 1080, std::vector<std::uint32_t>{}},
                                         {1280, 720, {3703, 3704}},
                                         {1024, 768, {3703, 3704}}}) {
        const Box box = open(w, h);
        EXPECT_TRUE(Inside(box, {"client", 0, gui::kCaptionStripHeight, w, h})) << w;
        std::vector<std::uint32_t> covered;
        ForEachShown(*lobby.ControlsToKeepClear(), [&](const gui::Widget& c) {
            if (IsControl(c) && Overlap(box, ScreenBox("control", c))) covered.push_back(c.Id());
        });
        EXPECT_EQ(covered, expected) << w;
    }
    const Box place = ScreenBox("messenger", messenger);
    lobby.RouteMessage(platform::kWmLButtonDown, 0, platform::MakeLParam(place.left + 40, place.top + 10));
    lobby.RouteMessage(platform::kWmMouseMove, 0, platform::MakeLParam(2000, 2000));
    lobby.RouteMessage(platform::kWmLButtonUp, 0, platform::MakeLParam(2000, 2000));
    const Box dragged = open(1280, 720);  // dragged into the corner, then a lower client
    EXPECT_EQ(std::pair(dragged.right, dragged.bottom), std::pair(1024, 720));
    EXPECT_EQ(open(1024, 768).top, dragged.top);
    lobby.Enter();
    EXPECT_EQ(ScreenBox("messenger", messenger).left, place.left) << "the lobby entered again";
    messenger.Show(false);
}
}  // namespace
