// The game room's item panels and small popups around them: the two tabs that slide the own cues and
// the items on sale in from the left edge (one at a time), the bar that tells of a friend request,
// the chat line's Tab key into the messenger, and the wait box shown while a purchase is on its way.
// Widgets change on the main thread only; replies from the dispatch thread leave work for it.
#include <utility>

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/CommonDialogs.h"
#include "gui/GuiConstants.h"
#include "gui/TextInput.h"
#include "gui/UiAtlas.h"
#include "net/GameSession.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/Messenger.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/hud/SlidingPanels.h"

namespace scenes {

using namespace room;

namespace {

constexpr int kPanelLeft = 10, kPanelBottom = -290;
constexpr int kTabW = 81, kTabH = 19, kTabBottom = -24;
constexpr int kCueTabX = 360, kShopTabX = 445;
constexpr int kFriendBarW = 260, kFriendBarH = 20, kFriendBarBottom = -250;

// Open means shown and not already on its way out.
bool PanelOpen(const hud::SlidingPanel* panel) {
    return panel && panel->IsVisible() && panel->Slide().state != hud::PanelSlide::kOut;
}

// Slides the panel in from the edge, also when it was still on its way out.
void OpenPanel(hud::SlidingPanel* panel) {
    if (!panel) return;
    if (panel->IsVisible()) panel->Show(false);
    panel->Show(true);
    panel->BringToFront();
}

void CloseIfOpen(hud::SlidingPanel* panel) {
    if (PanelOpen(panel)) panel->SlideOut();
}

Messenger* RoomMessenger(SceneHost* host) {
    return host ? dynamic_cast<Messenger*>(host->GetMessenger()) : nullptr;
}

}  // namespace

void SceneRoomGame::CreateItemPanels() {
    cuePanel_ = Make<hud::PlayerInfoPanel>(Host(), &Record());
    cuePanel_->Create(0, 0);
    cuePanel_->SetAnchor(gui::AnchorH::Left, kPanelLeft, gui::AnchorV::Bottom, kPanelBottom);
    cuePanel_->Show(false);
    shopPanel_ = Make<hud::BuyOrGiftDialog>(Host(), &Record());
    shopPanel_->Create(0, 0);
    shopPanel_->SetAnchor(gui::AnchorH::Left, kPanelLeft, gui::AnchorV::Bottom, kPanelBottom);
    shopPanel_->Show(false);

    const gui::UiImage tabImage = gui::atlas::InSet(gui::atlas::kTextButton, 15);
    cueTab_ = AddButton(kCueTabX, 0, kTabW, kTabH, join_msg::kCueTabControl, 0, tabImage);
    cueTab_->SetFrameCount(gui::atlas::kTextButtonFrames);
    cueTab_->SetCaption(u"Cue");
    cueTab_->SetAnchor(gui::AnchorH::Left, kCueTabX, gui::AnchorV::Bottom, kTabBottom);
    cueTab_->Show(false);
    shopTab_ = AddButton(kShopTabX, 0, kTabW, kTabH, join_msg::kShopTabControl, 0, tabImage);
    shopTab_->SetFrameCount(gui::atlas::kTextButtonFrames);
    shopTab_->SetCaption(u"Shop");
    shopTab_->SetAnchor(gui::AnchorH::Left, kShopTabX, gui::AnchorV::Bottom, kTabBottom);

    friendBar_ = AddButton(kPanelLeft, 0, kFriendBarW, kFriendBarH, join_msg::kFriendBarControl, 0, tabImage);
    friendBar_->SetFrameCount(gui::atlas::kTextButtonFrames);
    friendBar_->SetAnchor(gui::AnchorH::Left, kPanelLeft, gui::AnchorV::Bottom, kFriendBarBottom);
    friendBar_->Show(false);

    inProgress_ = Make<gui::InProgressNotice>();
    inProgress_->Show(false);
}

bool SceneRoomGame::OnItemPanelCommand(const gui::CommandEvent& event) {
    switch (event.id) {
        case join_msg::kFriendBarControl:
            if (friendBar_) friendBar_->Show(false);
            if (Messenger* messenger = RoomMessenger(Host())) messenger->ShowNextFriendRequest();
            return true;
        case join_msg::kShopTabControl:
            if (PanelOpen(shopPanel_)) {
                shopPanel_->SlideOut();
                return true;
            }
            CloseIfOpen(cuePanel_);
            OpenPanel(shopPanel_);
            return true;
        case join_msg::kCueTabControl:
            if (PanelOpen(cuePanel_)) {
                cuePanel_->SlideOut();
                return true;
            }
            CloseIfOpen(shopPanel_);
            if (cuePanel_) cuePanel_->SetSelectionSlot(RoomCopy().gameType);
            OpenPanel(cuePanel_);
            return true;
        default:
            return false;
    }
}

bool SceneRoomGame::HandleItemPanelMessage(std::uint32_t code, std::uintptr_t a) {
    if (code == join_msg::kFriendRequestCode) {
        net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
        WString nickname;
        if (session) {
            platform::ScopedLock lock(session->listLock);
            if (!session->friendRequests.empty()) nickname = session->friendRequests.front().nickname;
        }
        // Nothing to answer: the bar would open no question.
        if (nickname.empty() || !friendBar_) return true;
        friendBar_->SetCaption(Format(u"Friends request from %s", nickname));
        friendBar_->Show(true);
        friendBar_->BringToFront();
        return true;
    }
    // Tab in the chat line carries the typing over into the messenger's chat while it is shown.
    if (code == platform::kWmKeyDown && a == platform::kVkTab && chatEdit_ && chatEdit_->HasFocus()) {
        Messenger* messenger = RoomMessenger(Host());
        if (!messenger || !messenger->IsVisible()) return false;
        chatEdit_->SetFocus(false);
        messenger->FocusChatInput();
        return true;
    }
    return false;
}

void SceneRoomGame::AfterItemReply() {
    RunOnMainThread([this] {
        if (inProgress_) inProgress_->Show(false);
    });
    UpdateItemKeys();
}

}  // namespace scenes
