#include "scenes/shop/SceneShop.h"

#include <algorithm>

#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "gui/Button.h"
#include "gui/CommonDialogs.h"
#include "gui/ImageWidget.h"
#include "gui/ItemPreview.h"
#include "gui/NoticeBox.h"
#include "gui/PlayerInfoWindows.h"
#include "gui/ScrollBar.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "gui/WebHost.h"
#include "gui/WebPageDialog.h"
#include "gui/WidgetRouter.h"
#include "net/GameTypes.h"
#include "net/ItemUse.h"
#include "net/Packet.h"
#include "platform/sys/Shell.h"
#include "platform/web/WebView.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/front/Messenger.h"
#include "scenes/front/NickChangeDialog.h"
#include "scenes/front/OptionDialog.h"
#include "scenes/shared/PurchaseDialog.h"
#include "scenes/shared/SharedWindows.h"
#include "scenes/shop/MembershipDialog.h"
#include "scenes/shop/ShopCodes.h"
#include "scenes/shop/ShopDialogs.h"
#include "scenes/shop/ShopText.h"
#include "scenes/shop/cue/PersonalCuePurchaseWindow.h"
#include "scenes/shop/cue/PersonalCueWindow.h"

namespace scenes {

namespace {
// The shop's screens take the common cells of its UI set.
constexpr int kShopSet = 25;
constexpr gui::UiImage kShopPanel = gui::atlas::InSet(gui::atlas::kPanel, kShopSet);
constexpr gui::UiImage kShopBar = gui::atlas::InSet(gui::atlas::kDarkPanel, kShopSet);
constexpr std::uint32_t kLabelYellow = 0xFFFFFF60;
constexpr std::uint32_t kGrey = 0xFF909090;
constexpr int kCardColumn = 129, kCardRow = 155;
// The detail panel right of the main panel, the item preview under it.
constexpr int kDetailX = 580, kDetailY = 110;
constexpr int kPreviewY = kDetailY + ItemDetailPanel::kHeight + 8;
constexpr int kTile = 256;
// The main panel under the top bar; the membership strip under it at the layout's bottom.
constexpr int kTopBarHeight = 103, kMembershipHeight = 75;
// The category buttons, two rows of cards and the scroll bar beside them.
constexpr int kGridHeight = 350;
constexpr std::uint32_t kHotkeyF3 = 0x72, kHotkeyF4 = 0x73, kHotkeyF8 = 0x77;

// The card slot of a control id in [first, first + 8), or -1.
int CardSlot(std::uint32_t id, std::uint32_t first) {
    return id >= first && id < first + kCardsPerGrid ? static_cast<int>(id - first) : -1;
}

// A captioned radio button drawn flat: checked, it shows the toolkit's checked face.
gui::Button* AddRadioButton(gui::Widget& parent, int x, int y, int w, int h, std::uint32_t id,
                            const WString& caption, int group) {
    gui::Button* b = parent.AddButton(x, y, w, h, id, 0, gui::UiImage{});
    b->SetCaption(caption);
    b->SetRadioMode(group);
    return b;
}

int ScrollRange(int total) {
    return std::max(1, static_cast<int>(static_cast<float>(total) / 4.0f + 0.5f));
}
}  // namespace

SceneShop::SceneShop() : GameScene(scene_id::kShop) {
    for (const ItemDescription& d : descriptions_.Records())
        if (d.listed && d.record && d.record->prices[0] != 0) saleList_.push_back(&d);
}

SceneShop::~SceneShop() {
    {
        platform::ScopedLock lock(catalogueLock_);
        saleList_.clear();
        specialList_.clear();
    }
    cashPage_.reset();
    platform::ScopedLock lock(ownedLock_);
    owned_.clear();
}

gui::Widget* SceneShop::Layout() const {
    return layout_;
}

net::GameSession* SceneShop::Session() const {
    return Host() ? Host()->CurrentSession() : nullptr;
}

// --- building ---------------------------------------------------------------------------------

void SceneShop::CreateUI() {
    if (built_) {
        LogWrite(u"BREAK : SceneShop  307\n");
        return;
    }
    built_ = true;
    SceneHost* host = Host();
    const int width = host ? host->ClientWidth() : 1024;
    const int height = host ? host->ClientHeight() : 768;
    Create(0, 0, width, height);

    background_ = AddImage(0, 0, 256, 256, gui::atlas::shop::kBackgroundTile);
    background_->SetVisible(false);  // drawn tiled by the scene over the whole client area
    // A child of the scene behind the layout: a cue window that borrows it brings it over the windows,
    // beside itself anywhere on the screen.
    preview_ = Make<ItemPreviewPanel>(kDetailX, kPreviewY, ItemDetailPanel::kWidth, 200);
    // The shop's 1024-wide layout, in the middle of a larger client, as the lobby's; the dialogs,
    // centred on the client, open over it. A client lower than 768 gives it its height.
    layout_ = Make<CentredLayout>(CentredLayout::Lower::Fit);
    layout_->Fit(width, height);
    gui::Widget& shop = *layout_;
    shop.AddImage(0, 0, CentredLayout::kWidth, kTopBarHeight, kShopBar);
    const int moneyX[] = {373, 580, 800};
    const char16_t* const moneyCaptions[] = {u"Cash", u"Gold", u"Clan"};
    for (int i = 0; i < 3; ++i) {
        AddTextLine(shop, moneyX[i] - 50, 41, 46, 20, moneyCaptions[i], gui::kFont12Bold,
                    gui::align::kRight | gui::align::kVCenter);
        moneyLabels_[i] = AddTextLine(shop, moneyX[i], 41, 200, 20, {}, gui::kFont12Bold,
                                      gui::align::kLeft | gui::align::kVCenter, kLabelYellow);
    }

    membershipPanel_ = shop.AddPanel(0, shop.Height() - kMembershipHeight, 434, kMembershipHeight);
    membershipPanel_->SetImage(kShopBar);
    membershipPanel_->SetAnchor(gui::AnchorH::Left, 0, gui::AnchorV::Bottom, 0);
    membershipLabels_[0] = AddTextLine(*membershipPanel_, 10, 30, 120, 20, {});
    membershipLabels_[1] = AddTextLine(*membershipPanel_, 134, 30, 180, 20, {});
    membershipButton_ =
        AddTextButton(*membershipPanel_, 320, 26, 100, 28, shop_control::kMembership, u"Membership");

    mainPanel_ = shop.AddPanel(0, kTopBarHeight, 568, shop.Height() - kTopBarHeight - kMembershipHeight);
    mainPanel_->SetImage(kShopPanel);
    mainPanel_->SetAnchor(gui::AnchorH::Left, 0, gui::AnchorV::None, 0);
    // The tabs end above the category buttons of the grid below them.
    shopTab_ = AddRadioButton(*mainPanel_, 20, 0, 138, 40, shop_control::kShopTab, u"Shop", 1);
    inventoryTab_ = AddRadioButton(*mainPanel_, 160, 0, 138, 40, shop_control::kInventoryTab, u"My Item", 1);

    auto buildGrid = [&](gui::Widget*& panel, std::initializer_list<int> categories, std::uint32_t base,
                         std::uint32_t firstCard, std::uint32_t scrollId, auto& cards) {
        panel = mainPanel_->AddPanel(0, 45, 568, kGridHeight);
        int k = 0;
        static const char16_t* const kNames[] = {u"", u"Cue", u"Ball",    u"Table",  u"Item",    u"",
                                                 u"", u"All", u"Special", u"In use", u"Not used"};
        for (int category : categories) {
            AddRadioButton(*panel, 13 + 67 * k, -4, 66, 38, base + static_cast<std::uint32_t>(category),
                           kNames[category], 2);
            ++k;
        }
        for (int i = 0; i < kCardsPerGrid; ++i) {
            const int x = (i % kCardsPerRow) * kCardColumn + 24, y = (i / kCardsPerRow) * kCardRow + 45;
            using Card = std::remove_pointer_t<typename std::remove_reference_t<decltype(cards)>::value_type>;
            cards[i] = panel->template Make<Card>(x, y, firstCard + static_cast<std::uint32_t>(i));
        }
        gui::ScrollBar* bar = panel->template Make<gui::ScrollBar>();
        bar->Create(534, 45, 13, 300, scrollId, gui::Orientation::Vertical, 1);
        bar->Show(true);
        return bar;
    };
    shopScroll_ = buildGrid(shopPanel_, {8, 7, 1, 2, 3, 4}, shop_control::kShopCategoryBase,
                            shop_control::kFirstShopCard, shop_control::kShopScroll, shopCards_);
    inventoryScroll_ =
        buildGrid(inventoryPanel_, {7, 1, 2, 3, 4, 9, 10}, shop_control::kInventoryCategoryBase,
                  shop_control::kFirstInventoryCard, shop_control::kInventoryScroll, inventoryCards_);

    // The membership panel stays above the lower part of the main panel.
    membershipPanel_->BringToFront();
    // The cash button stands in the top bar over the main panel; the personal cue button beside the
    // tabs.
    cashCharge_ = AddTextButton(shop, 320, mainPanel_->Y() - 35, 121, 33, shop_control::kCashCharge, u"Cash");
    personalCue_ = AddTextButton(*mainPanel_, 445, 0, 107, 40, shop_control::kPersonalCue, u"Personal Cue");

    detail_ = shop.Make<ItemDetailPanel>(kDetailX, kDetailY, host);
    // A cue window that lent the panel for its own cue gives it back to the selection's item, under
    // the cue windows still open.
    preview_->SetOnReturnHome([this] {
        ShowSelectionDetail();
        for (gui::Widget* window :
             {static_cast<gui::Widget*>(cueWindow_), static_cast<gui::Widget*>(cuePurchase_)})
            if (window && window->IsVisible()) window->BringToFront();
    });

    activate_ = Make<ActivateItemDialog>(host);
    inProgress_ = Make<gui::InProgressNotice>();
    delete_ = Make<DeleteItemDialog>(host);
    nickChange_ = Make<NickChangeDialog>(host);
    imagePanel_ = Make<ImagePanelDialog>(host);
    picture_ = Make<ShopPictureWindow>(host);
    purchase_ = Make<PurchaseDialog>(host);
    membership_ = Make<MembershipDialog>(host);
    cueWindow_ = Make<PersonalCueWindow>(host);
    cueWindow_->SetPreviewPanel(preview_);
    cuePurchase_ = Make<PersonalCuePurchaseWindow>(host);
    cuePurchase_->SetPreviewPanel(preview_);
    // Made children start shown: the panels and windows wait for their turn.
    for (gui::Widget* w : std::initializer_list<gui::Widget*>{
             detail_, preview_, activate_, inProgress_, delete_, nickChange_, imagePanel_, picture_,
             purchase_, membership_, cueWindow_, cuePurchase_})
        w->SetVisible(false);

    const struct {
        std::uint32_t id;
        int offset;
        std::uint32_t hotkey;
        const char16_t* tip;
        const char16_t* caption;
    } top[] = {{shop_control::kToLobby, 35, 0, u"To Lobby", u"Exit"},
               {shop_control::kSettings, 68, kHotkeyF3, u"Settings(F3)", u"F3"},
               {shop_control::kMyInfo, 134, kHotkeyF4, u"MyInfo(F4)", u"F4"},
               {shop_control::kMessenger, 167, kHotkeyF8, u"Messanger(F8)", u"F8"}};
    for (const auto& t : top) {
        gui::Button* b =
            AddTextButton(shop, CentredLayout::kWidth - t.offset, 2, 33, 34, t.id, t.caption, t.hotkey);
        b->SetCaptionFont(gui::kFont10);
        b->SetTooltip(t.tip);
        // Kept t.offset pixels left of the layout's right edge.
        b->SetAnchor(gui::AnchorH::Right, 33 - t.offset, gui::AnchorV::None, 0);
        if (t.id == shop_control::kMessenger) messengerButton_ = b;
    }
    Resize(width, height);
}

int SceneShop::Load3D(ResourceManager* resources, RenderDevice* renderer) {
    // Loaded once per visit: a second load without a Leave in between is a fault of the caller.
    if (loaded_) {
        LogWrite(u"BREAK : SceneShop  546\n");
        return 0;
    }
    loaded_ = true;
    modelResources_ = resources;
    constexpr int kShopMusic = 5;  // the UI package's shop music, looped while the shop is open
    LoadSounds(resources, {}, kShopMusic);
    return GameScene::Load3D(resources, renderer);
}

void SceneShop::Enter() {
    if (!built_) CreateUI();
    AttachSharedWindows(*this, messengerButton_);
    net::GameSession* session = Session();
    {
        platform::ScopedLock lock(catalogueLock_);
        specialList_.clear();
        // Items the tables do not know are left out rather than shown as blank cards.
        for (std::uint32_t id : kSpecialItems)
            if (const ItemDescription* d = DescriptionOf(id); d && d->record) specialList_.push_back(d);
        shopTotal_ = static_cast<int>(specialList_.size());
    }
    if (session) {
        session->own.location = net::kRoomWordShop;
        session->currentRoom = net::kRoomWordShop;
    }
    const bool limited = session && session->accountKind == 2;
    cashCharge_->SetVisible(!limited);
    membershipPanel_->SetVisible(!limited);
    if (limited) shopCategory_ = shop_category::kAll;
    selectedCatalogue_ = nullptr;
    selectedOwned_.reset();
    shopPageStart_ = 1;
    inventoryPageStart_ = 1;
    RebuildOwnedList();
    detail_->SetVisible(false);
    preview_->SetVisible(false);
    RefreshMembership();
    RefreshMoney();
    ShowView();
}

bool SceneShop::Leave(ResourceManager* resources, SceneManager* engineScenes) {
    // No window of this visit comes back with the next: each opens afresh (the membership window
    // without the gift and the name typed last time).
    for (gui::Dialog* window :
         std::initializer_list<gui::Dialog*>{activate_, inProgress_, delete_, nickChange_, imagePanel_,
                                             picture_, purchase_, membership_, cueWindow_, cuePurchase_})
        window->HideQuietly();
    const bool result = GameScene::Leave(resources, engineScenes);
    StopMusic();
    for (ShopItemCard* card : shopCards_) card->Clear();
    for (InventoryItemCard* card : inventoryCards_) card->Clear();
    preview_->ClearItem();
    preview_->Preview()->ReleaseModel();
    if (cueWindow_) cueWindow_->ReleaseModels();
    if (cuePurchase_) cuePurchase_->ReleaseModels();
    modelResources_ = nullptr;
    {
        platform::ScopedLock lock(ownedLock_);
        owned_.clear();
    }
    {
        platform::ScopedLock lock(replyLock_);
        replies_.clear();
    }
    loaded_ = false;
    return result;
}

void SceneShop::Render(RenderDevice* renderer, bool draw) {
    GameScene::Render(renderer, draw);
    if (!built_ || !renderer) return;
    for (ShopItemCard* card : shopCards_) card->Preview()->BuildModel(renderer);
    for (InventoryItemCard* card : inventoryCards_) card->Preview()->BuildModel(renderer);
    preview_->Preview()->BuildModel(renderer);
    cueWindow_->BuildModels(renderer, modelResources_);
    cuePurchase_->BuildModels(renderer, modelResources_);
}

void SceneShop::Update(std::uint64_t, std::uint64_t) {
    // Kept within one tile's period, so the float keeps its tenths however long the shop stays open.
    float timer = scrollTimer_.load(std::memory_order_relaxed) + 0.1f;
    if (timer >= static_cast<float>(kTile)) timer -= static_cast<float>(kTile);
    scrollTimer_.store(timer, std::memory_order_relaxed);
}

void SceneShop::Draw(gui::Painter& painter, int x, int y) {
    // The background tiles drift one pixel to the left and one down per scroll step, and cover the
    // whole client area whatever its size.
    if (!background_) return;
    const int columns = static_cast<int>(static_cast<float>(Width()) / kTile + 1.5f) + 1;
    const int rows = static_cast<int>(static_cast<float>(Height()) / kTile + 1.5f) + 1;
    const int offset = static_cast<int>(scrollTimer_.load(std::memory_order_relaxed)) % kTile;
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            painter.Image(background_->Image(), x + kTile * c - kTile - offset,
                          y + kTile * r - kTile + offset, kTile, kTile);
}

void SceneShop::Resize(int width, int height) {
    if (!layout_) return;
    layout_->Fit(width, height);
    const int layoutHeight = layout_->Height();
    // The main panel ends where the membership strip begins, so no part of it runs under the strip
    // or past the layout's bottom.
    mainPanel_->SetSize(mainPanel_->Width(), std::max(0, layoutHeight - kMembershipHeight - kTopBarHeight));
    // The preview fills the layout's corner under the detail panel, to 10 pixels from its right edge
    // and 50 from its bottom.
    preview_->SetHome(layout_->X() + kDetailX, layout_->Y() + kPreviewY,
                      CentredLayout::kWidth - 10 - kDetailX, std::max(0, layoutHeight - 50 - kPreviewY));
}

std::vector<gui::ScreenRect> SceneShop::SelectionToKeepClear() const {
    std::vector<gui::ScreenRect> selection;
    if (!detail_ || !detail_->IsShownOnScreen()) return selection;
    selection.push_back(detail_->PricesAndButtons());
    const auto addChecked = [&selection](const gui::Button* face) {
        if (!face || !face->IsShownOnScreen() || !face->IsChecked()) return;
        const int x = face->ScreenX(), y = face->ScreenY();
        selection.push_back({x, y, x + face->Width(), y + face->Height()});
    };
    for (const ShopItemCard* card : shopCards_) addChecked(card->Face());
    for (const InventoryItemCard* card : inventoryCards_) addChecked(card->Face());
    return selection;
}

// --- views ------------------------------------------------------------------------------------

bool SceneShop::PassesShopFilter(const ItemDescription& d, int category, bool hideCash) const {
    const net::ItemRecord* r = d.record;
    if (!r) return false;
    if (hideCash && r->priceKind == static_cast<std::uint8_t>(net::PriceKind::Cash)) return false;
    switch (category) {
        case shop_category::kCues:
        case shop_category::kBalls:
        case shop_category::kTables:
            return r->type == static_cast<std::uint32_t>(category);
        case shop_category::kItems:
            return r->type >= 4 && r->type <= 6;
        default:
            return true;
    }
}

bool SceneShop::PassesInventoryFilter(const net::ItemEntry& e, int category) {
    const bool active = e.state == static_cast<std::uint8_t>(net::ItemState::Active);
    switch (category) {
        case shop_category::kCues:
        case shop_category::kBalls:
        case shop_category::kTables:
            return e.type == static_cast<std::uint32_t>(category);
        case shop_category::kItems:
            return e.type >= 4 && e.type <= 6;
        case shop_category::kInUse:
            switch (e.usageKind) {
                case 1:
                    return active;
                case 2:
                    return false;
                case 3:
                    return e.remainingValue != e.initialValue;
                default:
                    return true;
            }
        case shop_category::kNotInUse:
            switch (e.usageKind) {
                case 0:
                    return false;
                case 1:
                    return !active;
                case 3:
                    return e.remainingValue >= e.initialValue;
                default:
                    return true;
            }
        default:
            return true;
    }
}

void SceneShop::ShowView() {
    CheckCategoryButton(true, shopCategory_);
    CheckCategoryButton(false, inventoryCategory_);
    shopTab_->SetChecked(viewMode_ == 0);
    inventoryTab_->SetChecked(viewMode_ == 1);
    shopPanel_->SetVisible(viewMode_ == 0);
    inventoryPanel_->SetVisible(viewMode_ == 1);
    if (viewMode_ == 0)
        RefreshSaleView();
    else
        RefreshInventoryView();
    ShowSelectionDetail();
}

void SceneShop::RefreshSaleView() {
    platform::ScopedLock lock(catalogueLock_);
    const net::GameSession* session = Session();
    const bool hideCash = session && session->accountKind == 2;
    const bool special = shopCategory_ == shop_category::kSpecial;
    const std::vector<const ItemDescription*>& source = special ? specialList_ : saleList_;
    int counter = 0, filled = 0;
    shopTotal_ = 0;
    for (const ItemDescription* d : source) {
        if (!PassesShopFilter(*d, special ? shop_category::kAll : shopCategory_, hideCash)) continue;
        ++counter;
        ++shopTotal_;
        if (counter >= shopPageStart_ && filled < kCardsPerGrid) {
            shopCards_[filled]->Fill(*d);
            shopCards_[filled]->Face()->SetChecked(d == selectedCatalogue_);
            ++filled;
        }
    }
    for (int i = filled; i < kCardsPerGrid; ++i) shopCards_[i]->Clear();
    shopScroll_->SetRange(ScrollRange(shopTotal_));
}

void SceneShop::RefreshInventoryView() {
    platform::ScopedLock lock(ownedLock_);
    int counter = 0, filled = 0;
    inventoryTotal_ = 0;
    bool selectionShown = false;
    for (const OwnedItemRef& ref : owned_) {
        if (!PassesInventoryFilter(*ref.entry, inventoryCategory_)) continue;
        ++counter;
        ++inventoryTotal_;
        const bool selected = selectedOwned_ && *selectedOwned_ == ref.entry->serial;
        selectionShown = selectionShown || selected;
        if (counter >= inventoryPageStart_ && filled < kCardsPerGrid) {
            inventoryCards_[filled]->Fill(ref);
            inventoryCards_[filled]->Face()->SetChecked(selected);
            ++filled;
        }
    }
    for (int i = filled; i < kCardsPerGrid; ++i) inventoryCards_[i]->Clear();
    inventoryScroll_->SetRange(ScrollRange(inventoryTotal_));
    if (selectedOwned_ && !selectionShown) {
        selectedOwned_.reset();
        detail_->SetVisible(false);
    }
    RefreshOwnedDetail();
}

void SceneShop::RebuildOwnedList() {
    net::GameSession* session = Session();
    {
        platform::ScopedLock lock(ownedLock_);
        owned_.clear();
        if (session) {
            for (net::ItemEntry* e : session->own.Items()) {
                if (!e || e->state == static_cast<std::uint8_t>(net::ItemState::Expired)) continue;
                owned_.push_back({DescriptionOf(e->itemId), e});
            }
        }
        inventoryTotal_ = static_cast<int>(owned_.size());
        // The selection is kept by serial, so an entry a reply freed can never be selected.
        if (selectedOwned_ && (!session || !session->own.FindItem(*selectedOwned_))) selectedOwned_.reset();
    }
    if (detail_ && detail_->IsVisible() && detail_->Layout() == DetailLayout::Owned &&
        (!session || !session->own.FindItem(detail_->Serial()))) {
        detail_->SetVisible(false);
        preview_->SetVisible(false);
        preview_->ClearItem();
    }
    if (cueWindow_) {
        cueWindow_->RefreshSlots();
        cueWindow_->RefreshDetails();
    }
}

std::vector<OwnedItemRef> SceneShop::OwnedItems() {
    platform::ScopedLock lock(ownedLock_);
    return owned_;
}

void SceneShop::RefreshMoney() {
    const net::GameSession* s = Session();
    if (!s) return;
    moneyLabels_[0]->SetPlainText(FormatNumber(s->own.cash));
    moneyLabels_[1]->SetPlainText(FormatNumber(s->own.money));
    moneyLabels_[2]->SetPlainText(FormatNumber(s->inClan ? s->clanMoney : 0));
}

void SceneShop::RefreshMembership() {
    const net::GameSession* s = Session();
    const std::uint8_t kind = s ? s->clubMembership : 0;
    membershipLabels_[0]->SetPlainText(kind == 0   ? u"Membership :"
                                       : kind == 3 ? u"Plus Membership :"
                                                   : u"Std. Membership :");
    if (kind != 0 && s) {
        membershipLabels_[1]->SetText(u"%s 까지", s->membershipExpiry.substr(0, 16));
        membershipLabels_[1]->SetColors(gui::skin::kText, 0xFF000000);
    } else {
        membershipLabels_[1]->SetPlainText(u"N/A");
        membershipLabels_[1]->SetColors(kGrey, 0xFF000000);
    }
}

// --- selection --------------------------------------------------------------------------------

void SceneShop::ShowSelectionDetail() {
    net::GameSession* session = Session();
    // A tab shows only a selection of its own grid: a catalogue entry with "Buy" never stands
    // under "My Item", nor an owned one with "Use" and "Delete" in the shop.
    if (viewMode_ == 0 && selectedCatalogue_) {
        detail_->Fill(selectedCatalogue_, selectedCatalogue_->record, nullptr, DetailLayout::Catalogue);
        detail_->ShowButtons(DetailLayout::Catalogue);
        detail_->Show(true);
        preview_->ShowItem(selectedCatalogue_->itemId, nullptr);
        return;
    }
    net::ItemEntry* e =
        viewMode_ == 1 && selectedOwned_ && session ? session->own.FindItem(*selectedOwned_) : nullptr;
    if (!e) {
        detail_->SetVisible(false);
        preview_->ClearItem();
        preview_->SetVisible(false);
        return;
    }
    FillOwnedDetail(*e);
    detail_->ShowButtons(DetailLayout::Owned);
    detail_->Show(true);
    preview_->ShowItem(e->itemId, e->IsPersonalCue() ? &e->parts : nullptr);
}

void SceneShop::FillOwnedDetail(const net::ItemEntry& e) {
    const ItemDescription* d = DescriptionOf(e.itemId);
    detail_->Fill(d, d && d->record ? d->record : net::GetItemTable().Find(e.itemId), &e,
                  DetailLayout::Owned);
}

void SceneShop::RefreshOwnedDetail() {
    if (!detail_->IsVisible() || detail_->Layout() != DetailLayout::Owned) return;
    net::GameSession* session = Session();
    const net::ItemEntry* e = session ? session->own.FindItem(detail_->Serial()) : nullptr;
    if (!e) return;
    FillOwnedDetail(*e);
    if (selectedOwned_ && *selectedOwned_ == e->serial) detail_->ShowButtons(DetailLayout::Owned);
}

void SceneShop::OnShopCard(int slot, std::int32_t value) {
    ShopItemCard* card = shopCards_[slot];
    const ItemDescription* d = card->Description();
    if (!d) return;
    if (value == kCardMouseEnter) {
        if (d == selectedCatalogue_) return;
        detail_->Fill(d, d->record, nullptr, DetailLayout::Catalogue);
        detail_->Show(true);
        preview_->ShowItem(d->itemId, nullptr);
        return;
    }
    if (value == kCardMouseLeave) {
        if (d != selectedCatalogue_ && detail_->Layout() == DetailLayout::Catalogue &&
            detail_->Description() == d)
            ShowSelectionDetail();
        return;
    }
    for (ShopItemCard* other : shopCards_) other->Face()->SetChecked(other == card);
    for (InventoryItemCard* other : inventoryCards_) other->Face()->SetChecked(false);
    selectedCatalogue_ = d;
    selectedOwned_.reset();
    ShowSelectionDetail();
}

void SceneShop::OnInventoryCard(int slot, std::int32_t value) {
    InventoryItemCard* card = inventoryCards_[slot];
    const std::uint64_t serial = card->Serial();
    net::GameSession* session = Session();
    net::ItemEntry* e = session ? session->own.FindItem(serial) : nullptr;
    if (!e) return;
    const bool isSelection = selectedOwned_ && *selectedOwned_ == serial;
    if (value == kCardMouseEnter) {
        if (isSelection) return;
        FillOwnedDetail(*e);
        detail_->Show(true);
        preview_->ShowItem(e->itemId, e->IsPersonalCue() ? &e->parts : nullptr);
        return;
    }
    if (value == kCardMouseLeave) {
        if (!isSelection && detail_->Layout() == DetailLayout::Owned && detail_->Serial() == serial)
            ShowSelectionDetail();
        return;
    }
    for (InventoryItemCard* other : inventoryCards_) other->Face()->SetChecked(other == card);
    for (ShopItemCard* other : shopCards_) other->Face()->SetChecked(false);
    selectedOwned_ = serial;
    selectedCatalogue_ = nullptr;
    ShowSelectionDetail();
}

void SceneShop::CheckCategoryButton(bool shop, int category) {
    const std::uint32_t base = shop ? shop_control::kShopCategoryBase : shop_control::kInventoryCategoryBase;
    for (gui::Widget* w : (shop ? shopPanel_ : inventoryPanel_)->Children())
        if (auto* b = dynamic_cast<gui::Button*>(w); b && b->Id() > base && b->Id() <= base + 10)
            b->SetChecked(static_cast<int>(b->Id() - base) == category);
}

void SceneShop::SelectCategory(bool shop, int category) {
    if (shop) {
        shopCategory_ = category;
        shopPageStart_ = 1;
        shopScroll_->SetPos(0, false);
    } else {
        inventoryCategory_ = category;
        inventoryPageStart_ = 1;
        inventoryScroll_->SetPos(0, false);
    }
    CheckCategoryButton(shop, category);
    if (shop)
        RefreshSaleView();
    else
        RefreshInventoryView();
}

// --- widget events ----------------------------------------------------------------------------

bool SceneShop::OnCommand(const gui::CommandEvent& event) {
    // Only the shop's own controls act here. What one of its windows (a dialog, a notice, the cue
    // windows, the shared windows) leaves unhandled is none of them, whatever its id: the Enter of a
    // window's edit box carries id 0, the id of "To Lobby".
    if (!event.source || gui::WidgetRouter::IsInDialog(event.source, this)) return false;
    const std::uint32_t id = event.id;
    if (const int slot = CardSlot(id, shop_control::kFirstShopCard); slot >= 0) {
        OnShopCard(slot, event.value);
        return true;
    }
    if (const int slot = CardSlot(id, shop_control::kFirstInventoryCard); slot >= 0) {
        OnInventoryCard(slot, event.value);
        return true;
    }
    if (event.code != gui::CommandCode::Event) return false;
    if (id > shop_control::kShopCategoryBase && id <= shop_control::kShopCategoryBase + 10) {
        SelectCategory(true, static_cast<int>(id - shop_control::kShopCategoryBase));
        return true;
    }
    if (id > shop_control::kInventoryCategoryBase && id <= shop_control::kInventoryCategoryBase + 10) {
        SelectCategory(false, static_cast<int>(id - shop_control::kInventoryCategoryBase));
        return true;
    }
    SceneHost* host = Host();
    switch (id) {
        case shop_control::kToLobby:
            GoToLobby();
            return true;
        case shop_control::kSettings:
            if (host) OpenOptionDialog(host->GetOptionDialog());
            return true;
        case shop_control::kMyInfo:
            if (gui::MyInfoWindow* info = host ? host->GetMyInfoWindow() : nullptr) info->Show(true);
            return true;
        case shop_control::kMessenger:
            if (auto* messenger = dynamic_cast<Messenger*>(host ? host->GetMessenger() : nullptr)) {
                if (messenger->IsVisible())
                    messenger->Show(false);
                else
                    messenger->OpenPage(Messenger::kFriends);
            }
            return true;
        case shop_control::kShopTab:
        case shop_control::kInventoryTab:
            viewMode_ = id == shop_control::kShopTab ? 0 : 1;
            ShowView();
            return true;
        case shop_control::kShopScroll:
            shopPageStart_ = std::max(1, 4 * event.value - 3);
            RefreshSaleView();
            return true;
        case shop_control::kInventoryScroll:
            inventoryPageStart_ = std::max(1, 4 * event.value - 3);
            RefreshInventoryView();
            return true;
        case shop_control::kPersonalCue:
            cueWindow_->Show(true);
            cueWindow_->BringToFront();
            return true;
        case shop_control::kMembership:
            membership_->Show(true);
            return true;
        case shop_control::kCashCharge:
            OpenCashPage();
            return true;
        default:
            return false;
    }
}

// --- application messages ---------------------------------------------------------------------

bool SceneShop::OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) {
    const std::uint32_t first = static_cast<std::uint32_t>(a);
    switch (code) {
        case shop_message::kCharacter:
            return true;
        case shop_message::kRepliesQueued:
            DrainReplies();
            return true;
        case shop_message::kMoneyChanged:
        case shop_message::kMoneyChanged2:
            RefreshMoney();
            return true;
        case shop_message::kItemsChanged:
            RefreshMoney();
            RebuildOwnedList();
            RefreshInventoryView();
            return true;
        case shop_message::kToLobby:
            GoToLobby();
            return true;
        case shop_message::kCashPage:
            if (first == shop_control::kYes) {
                const net::GameSession* s = Session();
                const bool partner = s && s->loginId.substr(0, 3) == u"em_";
                // The partner portal is the web host under its own path prefix (docs/decisions/shop.md).
                platform::ShellOpen(
                    gui::WebPageUrl(partner ? "/partner/cash/cash_01.asp" : "/cash/cash_01.asp"));
            }
            return true;
        case shop_message::kCheckUse:
            CheckUse();
            return true;
        case shop_message::kCheckDelete:
            CheckDelete();
            return true;
        case shop_message::kUseItem: {
            // The activation dialog and the nickname dialog hold the full serial; the message
            // carries only its low half.
            std::uint64_t serial = first;
            if (activate_->PostedSerial() && (*activate_->PostedSerial() & 0xFFFFFFFFu) == first)
                serial = *activate_->PostedSerial();
            else if ((nickChange_->ItemSerial() & 0xFFFFFFFFu) == first)
                serial = nickChange_->ItemSerial();
            SendUseItem(serial);
            return true;
        }
        case shop_message::kOpenPurchase:
            OpenPurchase(static_cast<int>(first));
            return true;
        case shop_message::kRepairOk:
        case shop_message::kUpgradeOk:
        case shop_message::kPartsPurchaseOk:
            if (first == shop_control::kOk) SendCueRequest(code, static_cast<std::uint32_t>(b));
            return true;
        case shop_message::kCuePurchaseOk:
            if (first == shop_control::kOk) SendCuePurchase();
            return true;
        case shop_message::kPurchaseConfirmed:
            SendPurchase();
            return true;
        case shop_message::kMembershipConfirmed:
            SendMembership();
            return true;
        case shop_message::kShowImagePanel:
            imagePanel_->Show(true);
            imagePanel_->BringToFront();
            return true;
        case shop_message::kShowPicture:
            picture_->Show(true);
            picture_->BringToFront();
            return true;
        case shop_message::kDeleteConfirmed:
            SendDelete();
            return true;
        case shop_message::kCashPageClosed:
            CloseCashPage();
            return true;
        default:
            return false;
    }
}

void SceneShop::GoToLobby() {
    if (Host()) Host()->SendByteMessage(shop_net::kLeaveShop, 0);
    RequestScene(scene_id::kLobby);
}

void SceneShop::OpenCashPage() {
    net::GameSession* session = Session();
    SceneHost* host = Host();
    if (!session || !host) return;
    cashPage_.reset();
    cashPage_ = gui::WebPageDialog::Open(session->loginId, session->password, "/cash/client_cash.asp",
                                         platform::CreateWebView(platform::WebViewBackendFromEnvironment()),
                                         [host](std::uint32_t code, std::uint32_t a, std::uint32_t b,
                                                std::uint32_t c) { host->PostUiMessage(code, a, b, c); });
}

void SceneShop::CloseCashPage() {
    cashPage_.reset();
}

// --- notices ----------------------------------------------------------------------------------

void SceneShop::ShowInProgress() {
    inProgress_->Open();
}

void SceneShop::Notice(const WString& l1, const WString& l2, const WString& l3) {
    if (Host()) Host()->ShowNotice(this, l1, l2, l3);
}

void SceneShop::Error(const WString& l1, const WString& l2) {
    if (Host()) Host()->ShowError(this, l1, l2);
}

void SceneShop::SecondNotice(const WString& line) {
    gui::NoticeBox* box = Host() ? Host()->GetSecondNoticeBox() : nullptr;
    if (!box) {
        Notice(line);
        return;
    }
    box->Reset();
    box->SetCaption(u"Notice");
    box->SetLine(0, line);
    if (box->GetParent() != this) AddChild(box, false);
    box->CenterOnScreen();
    box->Show(true);
    box->BringToFront();
}

// --- requests ---------------------------------------------------------------------------------

bool SceneShop::Send(net::Packet& packet) {
    packet.Finish();
    if (sendTap_) sendTap_(packet);
    net::GameSession* session = Session();
    if (session && session->Send(packet)) return true;
    // No reply will come to close the wait notice: say so instead of waiting for ever.
    inProgress_->Show(false);
    Error(u"The request could not be sent.", kReconnectLine);
    return false;
}

void SceneShop::OpenPurchase(int mode) {
    const ItemDescription* d = detail_->Description();
    if (!d || detail_->Layout() != DetailLayout::Catalogue) return;
    if (d->itemId == shop_item::kPracticeTime || d->itemId == shop_item::kSuspendedCue) {
        Notice(u"판매가 일시 중단된 상품입니다.");
        return;
    }
    if (d->itemId >= shop_item::kFirstCustomCue && d->itemId <= shop_item::kLastCustomCue) {
        // Personal cues are designed and bought in their own window; others of the range are not sold.
        if (!d->record || (d->itemId != cue_rule::kCustomCue && d->itemId != cue_rule::kTuningCue)) return;
        cuePurchase_->SetCueType(*d->record);
        cuePurchase_->Show(true);
        cuePurchase_->BringToFront();
        return;
    }
    if (!d->record || mode < 1 || mode > 3) return;
    purchase_->SetMode(static_cast<PurchaseMode>(mode));
    purchase_->SetProduct(d->record);
    purchase_->Show(true);
    purchase_->BringToFront();
}

void SceneShop::SendPurchase() {
    net::GameSession* session = Session();
    if (!session) return;
    net::PooledPacket p = session->NewPacket(0);
    if (!p || !purchase_->WriteRequest(*p)) return;
    ShowInProgress();
    Send(*p);
}

void SceneShop::SendCuePurchase() {
    net::GameSession* session = Session();
    if (!session) return;
    net::PooledPacket p = session->NewPacket(0);
    if (!p || !cuePurchase_->WriteRequest(*p)) return;
    cuePurchase_->Show(false);
    ShowInProgress();
    Send(*p);
}

void SceneShop::SendCueRequest(std::uint32_t code, std::uint32_t param) {
    net::GameSession* session = Session();
    if (!session) return;
    net::PooledPacket p = session->NewPacket(0);
    if (!p) return;
    const bool written = code == shop_message::kRepairOk ? cueWindow_->WriteRepair(*p)
                         : code == shop_message::kPartsPurchaseOk
                             ? cueWindow_->WritePartsPurchase(*p)
                             : cueWindow_->WriteUpgradeOrReset(*p, param);
    // The cue left the list while the question was open: nothing to ask for.
    if (!written) return;
    ShowInProgress();
    Send(*p);
}

void SceneShop::SendMembership() {
    net::GameSession* session = Session();
    if (!session) return;
    net::PooledPacket p = session->NewPacket(shop_net::kMembership);
    if (!p) return;
    const std::uint8_t mode = static_cast<std::uint8_t>(membership_->GiftMode());
    const std::uint8_t flag = membership_->UpgradeFlag() != 0 && mode == 1 ? membership_->UpgradeFlag() : 0;
    p->WriteU8(mode).WriteU8(flag).WriteU8(static_cast<std::uint8_t>(membership_->Kind()));
    p->WriteU8(static_cast<std::uint8_t>(membership_->Period()));
    if (mode != 0) p->WriteString(membership_->Recipient());
    ShowInProgress();
    Send(*p);
}

void SceneShop::SendDelete() {
    net::GameSession* session = Session();
    if (!session) return;
    net::PooledPacket p = session->NewPacket(shop_net::kDeleteItem);
    if (!p) return;
    ShowInProgress();
    p->WriteU64(delete_->Serial());
    Send(*p);
}

void SceneShop::CheckUse() {
    net::GameSession* session = Session();
    net::ItemEntry* e = selectedOwned_ && session ? session->own.FindItem(*selectedOwned_) : nullptr;
    if (!e) return;
    if (e->itemId == shop_item::kPracticeTime) {
        Notice(u"사용할 수 없는 아이템입니다.", u"고객센터로 환불을 요청하세요.");
        return;
    }
    const net::ItemRecord* r = net::GetItemTable().Find(e->itemId);
    if (e->type == static_cast<std::uint32_t>(net::ItemType::Cue) && !e->IsPersonalCue()) {
        const int required = r ? r->requiredLevel : 0;
        if (static_cast<int>(session->own.level) < required) {
            Notice(Format(u"This item can only be used from level %d.", required));
            return;
        }
    }
    if (e->usageKind == static_cast<std::uint8_t>(net::UsageKind::LimitedCount)) {
        Notice(u"It has a limited number of uses", u"which will be consumed every time you use the item.");
        return;
    }
    const bool active = e->state == static_cast<std::uint8_t>(net::ItemState::Active);
    if (!e->IsPersonalCue() && !active) {
        for (const net::ItemEntry* other : session->own.Items()) {
            if (other != e && other->itemId == e->itemId &&
                other->state == static_cast<std::uint8_t>(net::ItemState::Active)) {
                Error(u"같은 종류의 아이템이 이미 사용중입니다.");
                return;
            }
        }
    }
    if (e->itemId == shop_item::kNickChange) {
        nickChange_->SetItemSerial(e->serial);
        nickChange_->Show(true);
        nickChange_->BringToFront();
        return;
    }
    if (active) {
        Notice(u"This item is already activated.");
        return;
    }
    if (e->itemId == shop_item::kNotImplemented1 || e->itemId == shop_item::kNotImplemented2)
        Notice(u"Not implemented.");
    activate_->SetItem(e->serial, 1);
    activate_->Show(true);
    activate_->BringToFront();
}

void SceneShop::SendUseItem(std::uint64_t serial) {
    net::GameSession* session = Session();
    const net::ItemEntry* e = session ? session->own.FindItem(serial) : nullptr;
    if (!e) {
        Error(u"Item info mismatched.", u"Re-login please..");
        return;
    }
    net::PooledPacket p = session->NewPacket(shop_net::kUseItem);
    if (!p) return;
    ShowInProgress();
    net::WriteItemUse(*p, *e);
    if (e->itemId == shop_item::kNickChange) p->WriteString(nickChange_->AcceptedNickname());
    Send(*p);
}

void SceneShop::CheckDelete() {
    net::GameSession* session = Session();
    const net::ItemEntry* e = selectedOwned_ && session ? session->own.FindItem(*selectedOwned_) : nullptr;
    if (!e) return;
    if (e->serial <= net::kLastBuiltInSerial) {
        Notice(u"This item cannot be deleted.");
        return;
    }
    for (int type = 0; type < net::kGameTypeCount; ++type) {
        if (!net::GameTypeHasRules(type)) continue;
        const net::GameTypeEquipment& eq = session->own.equipment[type];
        const bool inUse = (e->type == 1 && eq.cueSerial == e->serial) ||
                           (e->type == 2 && eq.ballSetSerial == e->serial) ||
                           (e->type == 3 && eq.tableSerial == e->serial);
        if (inUse) {
            Error(Format(u"%s 종목에 사용중이어서 삭제할 수 없습니다.", net::GameTypeLongName(type)));
            return;
        }
    }
    delete_->SetSerial(e->serial);
    delete_->Show(true);
    delete_->BringToFront();
}

}  // namespace scenes
