#pragma once
// The item shop (scene 10): the catalogue by category, the owned items ("My Item"), the money and
// membership labels, buying, giving, memberships, activating and deleting items, and the replies
// of the server to all of them.
//
// Threads: widgets, application messages and the reply handlers run on the main thread. OnPacket
// runs on the dispatch thread and only queues a copy of the reply for the main thread (message
// 1170), so no handler changes widgets, lists or the own record while the renderer reads them.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "net/GameSession.h"
#include "platform/sys/CriticalSection.h"
#include "scenes/base/GameScene.h"
#include "scenes/shop/ItemDescriptionTable.h"
#include "scenes/shop/ShopItemWidgets.h"

namespace gui {
class Button;
class ImageWidget;
class InProgressNotice;
class ScrollBar;
class TextLabel;
class WebPageDialog;
}  // namespace gui

namespace scenes {

class ActivateItemDialog;
class CentredLayout;
class DeleteItemDialog;
class ImagePanelDialog;
class MembershipDialog;
class NickChangeDialog;
class PersonalCueWindow;
class PersonalCuePurchaseWindow;
class PurchaseDialog;
class ShopPictureWindow;

class SceneShop : public GameScene {
public:
    static constexpr int kSpecialCount = 5;
    static constexpr std::array<std::uint32_t, kSpecialCount> kSpecialItems{4903, 3050, 3051, 3052, 4520};

    SceneShop();
    ~SceneShop() override;

    void CreateUI() override;
    int Load3D(ResourceManager* resources, RenderDevice* renderer) override;
    void Enter() override;
    bool Leave(ResourceManager* resources, SceneManager* engineScenes) override;
    // The render step's resource pass: the item previews make the models that changed.
    void Render(RenderDevice* renderer, bool draw) override;
    void Update(std::uint64_t nowMs, std::uint64_t time100us) override;
    int OnPacket(std::uint16_t messageId, net::Packet* packet) override;
    bool OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) override;
    bool OnCommand(const gui::CommandEvent& event) override;
    void Resize(int width, int height) override;
    // The messenger opens clear of the shop's controls where the client has room.
    const gui::Widget* ControlsToKeepClear() const override { return Layout(); }
    // Before them, the selected item: its card, its prices and its buttons.
    std::vector<gui::ScreenRect> SelectionToKeepClear() const override;
    // The tiled, drifting background under the widgets.
    void Draw(gui::Painter& painter, int x, int y) override;
    float ScrollTimer() const { return scrollTimer_.load(std::memory_order_relaxed); }

    // Views.
    void ShowView();
    void RefreshSaleView();
    void RefreshInventoryView();
    void RebuildOwnedList();
    void RefreshMoney();
    void RefreshMembership();

    // Requests (the checks before each, then the message).
    void OpenPurchase(int mode);
    void CheckUse();
    void CheckDelete();
    // Sends 512 for the held entry of that serial, or shows "Item info mismatched.".
    void SendUseItem(std::uint64_t serial);

    // Main thread: handles every reply OnPacket queued.
    void DrainReplies();
    // Main thread: one reply (what DrainReplies does per queued reply).
    void HandleReply(net::Packet& packet);

    // Every request the shop sends passes here first (tests watch the bytes).
    void SetSendTap(std::function<void(const net::Packet&)> tap) { sendTap_ = std::move(tap); }

    // State the tests read.
    int ViewMode() const { return viewMode_; }
    int ShopCategory() const { return shopCategory_; }
    int InventoryCategory() const { return inventoryCategory_; }
    int ShopPageStart() const { return shopPageStart_; }
    int ShopTotal() const { return shopTotal_; }
    int InventoryTotal() const { return inventoryTotal_; }
    const ItemDescription* SelectedCatalogue() const { return selectedCatalogue_; }
    std::optional<std::uint64_t> SelectedOwned() const { return selectedOwned_; }
    const std::vector<const ItemDescription*>& SaleList() const { return saleList_; }
    const std::vector<const ItemDescription*>& SpecialList() const { return specialList_; }
    std::vector<OwnedItemRef> OwnedItems();
    const ItemDescriptionTable& Descriptions() const { return descriptions_; }
    ShopItemCard* ShopCard(int i) const { return shopCards_[i]; }
    InventoryItemCard* InventoryCard(int i) const { return inventoryCards_[i]; }
    gui::ScrollBar* ShopScroll() const { return shopScroll_; }
    gui::ScrollBar* InventoryScroll() const { return inventoryScroll_; }
    gui::TextLabel* MoneyLabel(int i) const { return moneyLabels_[i]; }
    gui::TextLabel* MembershipLabel(int i) const { return membershipLabels_[i]; }
    gui::Widget* Layout() const;
    ItemDetailPanel* Detail() const { return detail_; }
    ItemPreviewPanel* PreviewPanel() const { return preview_; }
    PurchaseDialog* Purchase() const { return purchase_; }
    MembershipDialog* Membership() const { return membership_; }
    ActivateItemDialog* Activate() const { return activate_; }
    DeleteItemDialog* DeleteDialog() const { return delete_; }
    NickChangeDialog* NickChange() const { return nickChange_; }
    gui::InProgressNotice* InProgress() const { return inProgress_; }
    ShopPictureWindow* Picture() const { return picture_; }
    ImagePanelDialog* ImagePanel() const { return imagePanel_; }
    gui::Button* CashChargeButton() const { return cashCharge_; }
    PersonalCueWindow* CueWindow() const { return cueWindow_; }
    PersonalCuePurchaseWindow* CuePurchase() const { return cuePurchase_; }

private:
    net::GameSession* Session() const;
    bool PassesShopFilter(const ItemDescription& d, int category, bool hideCash) const;
    static bool PassesInventoryFilter(const net::ItemEntry& e, int category);
    // The detail panel and the preview show the current tab's selection (hidden without one), after
    // a hover ends and when the tab changes.
    void ShowSelectionDetail();
    // The detail panel's rows of an owned entry (its buttons hidden).
    void FillOwnedDetail(const net::ItemEntry& e);
    // An owned entry the panel shows is shown as it is now: a reply that activated it, changed its
    // expiry or its durability shows at once, not at the next hover.
    void RefreshOwnedDetail();
    void OnShopCard(int slot, std::int32_t value);
    void OnInventoryCard(int slot, std::int32_t value);
    void SelectCategory(bool shop, int category);
    void CheckCategoryButton(bool shop, int category);
    void GoToLobby();
    bool Send(net::Packet& packet);
    void SendPurchase();
    void SendMembership();
    void SendDelete();
    // Sends the cue request a confirmed cue dialog asked for (message 1100, 1101 or 1102).
    void SendCueRequest(std::uint32_t code, std::uint32_t param);
    void SendCuePurchase();
    void OpenCashPage();
    void CloseCashPage();
    void ShowInProgress();
    void Notice(const WString& l1, const WString& l2 = {}, const WString& l3 = {});
    void Error(const WString& l1, const WString& l2 = {});
    void SecondNotice(const WString& line);
    void ShowReconnectNotice(bool fromNickChange);
    const ItemDescription* DescriptionOf(std::uint32_t itemId) const { return descriptions_.Find(itemId); }

    // Reply handlers (main thread); each reads its fields and applies them only when all were there.
    void OnMembershipResult(net::Packet& p);
    void OnPurchaseResult(net::Packet& p);
    void OnEntryState(net::Packet& p, std::uint16_t id);
    void OnUseResult(net::Packet& p, bool nickChange);
    void OnDeleteResult(net::Packet& p);
    void OnCueReply(net::Packet& p, std::uint16_t id);
    void OnRemainingCount(net::Packet& p);
    // Takes an entry out of the own record and returns it to the pool (the selection by serial
    // and the views are rebuilt by the caller).
    void FreeOwnEntry(std::uint64_t serial);
    // Sets a default item of a game type (0..16) from a designation kind (1..4).
    void Designate(int gameType, std::uint8_t kind, std::uint64_t serial, std::uint32_t itemId);

    ItemDescriptionTable descriptions_;
    std::vector<const ItemDescription*> saleList_;
    std::vector<const ItemDescription*> specialList_;
    std::vector<OwnedItemRef> owned_;
    platform::CriticalSection catalogueLock_;
    platform::CriticalSection ownedLock_;

    int viewMode_ = 0;
    int shopCategory_ = 7;
    int inventoryCategory_ = 7;
    int shopPageStart_ = 1;
    int inventoryPageStart_ = 1;
    int shopTotal_ = 0;
    int inventoryTotal_ = 0;
    const ItemDescription* selectedCatalogue_ = nullptr;
    std::optional<std::uint64_t> selectedOwned_;
    // Advanced by the update thread, read by the renderer.
    std::atomic<float> scrollTimer_{0.0f};
    bool built_ = false;
    bool loaded_ = false;
    ResourceManager* modelResources_ = nullptr;  // where the previews' models come from, while loaded

    gui::ImageWidget* background_ = nullptr;
    CentredLayout* layout_ = nullptr;  // what the scene shows but the tiles, the preview and the windows
    std::array<gui::TextLabel*, 3> moneyLabels_{};
    gui::Widget* membershipPanel_ = nullptr;
    std::array<gui::TextLabel*, 2> membershipLabels_{};
    gui::Widget* mainPanel_ = nullptr;
    gui::Button* shopTab_ = nullptr;
    gui::Button* inventoryTab_ = nullptr;
    gui::Widget* shopPanel_ = nullptr;
    gui::Widget* inventoryPanel_ = nullptr;
    std::array<ShopItemCard*, 8> shopCards_{};
    std::array<InventoryItemCard*, 8> inventoryCards_{};
    gui::ScrollBar* shopScroll_ = nullptr;
    gui::ScrollBar* inventoryScroll_ = nullptr;
    gui::Button* cashCharge_ = nullptr;
    gui::Button* messengerButton_ = nullptr;
    gui::Button* personalCue_ = nullptr;
    gui::Button* membershipButton_ = nullptr;
    ItemDetailPanel* detail_ = nullptr;
    ItemPreviewPanel* preview_ = nullptr;
    ActivateItemDialog* activate_ = nullptr;
    gui::InProgressNotice* inProgress_ = nullptr;
    DeleteItemDialog* delete_ = nullptr;
    NickChangeDialog* nickChange_ = nullptr;
    ImagePanelDialog* imagePanel_ = nullptr;
    ShopPictureWindow* picture_ = nullptr;
    PurchaseDialog* purchase_ = nullptr;
    MembershipDialog* membership_ = nullptr;
    PersonalCueWindow* cueWindow_ = nullptr;
    PersonalCuePurchaseWindow* cuePurchase_ = nullptr;
    std::unique_ptr<gui::WebPageDialog> cashPage_;

    std::function<void(const net::Packet&)> sendTap_;
    // Replies copied on the dispatch thread, waiting for the main thread.
    platform::CriticalSection replyLock_;
    std::vector<std::vector<std::uint8_t>> replies_;
};

}  // namespace scenes
