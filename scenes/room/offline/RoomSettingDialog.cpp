#include "scenes/room/offline/RoomSettingDialog.h"

#include "gui/Button.h"
#include "gui/GameTypeName.h"
#include "gui/UiAtlas.h"
#include "scenes/base/SceneHost.h"

namespace scenes {

bool RoomSettingDialog::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::Widget::Create(x, y, w, h, id, hotkey);
    SetTitle(u"Room setting");
    SetModal(true);
    for (std::size_t i = 0; i < kGameTypes.size(); ++i) {
        gui::Button* choice =
            AddButton(20, 34 + 24 * static_cast<int>(i), w - 40, 22,
                      kFirstChoiceId + static_cast<std::uint32_t>(i), 0, gui::atlas::kRadioButton);
        choice->SetRadioMode(0);
        choice->SetFrameCount(7);
        choice->SetCaption(WString(gui::GameTypeName(kGameTypes[i])));
        choices_[i] = choice;
    }
    gui::Button* ok = AddButton(w / 2 - 100, h - 40, 90, 26, kOkId, 13, gui::atlas::kTextButton);
    ok->SetCaption(u"OK");
    gui::Button* cancel = AddButton(w / 2 + 10, h - 40, 90, 26, kCancelId, 27, gui::atlas::kTextButton);
    cancel->SetCaption(u"Cancel");
    for (gui::Button* b : {ok, cancel}) b->SetFrameCount(gui::atlas::kTextButtonFrames);
    SetGameType(gameType_);
    SetVisible(false);
    return true;
}

void RoomSettingDialog::SetGameType(int gameType) {
    gameType_ = gameType;
    for (std::size_t i = 0; i < kGameTypes.size(); ++i)
        if (choices_[i]) choices_[i]->SetChecked(kGameTypes[i] == gameType);
}

bool RoomSettingDialog::OnCommand(const gui::CommandEvent& event) {
    if (event.id >= kFirstChoiceId && event.id < kFirstChoiceId + kGameTypes.size()) {
        SetGameType(kGameTypes[event.id - kFirstChoiceId]);
        return true;
    }
    if (event.id == kOkId) {
        Show(false);
        if (host_) host_->PostUiMessage(kChosenMessage, static_cast<std::uint32_t>(gameType_), 0, 0);
        return true;
    }
    if (event.id == kCancelId) {
        Show(false);
        return true;
    }
    return false;
}

}  // namespace scenes
