#include "scenes/front/PracticeSetupDialog.h"

#include "gui/Button.h"
#include "gui/NoticeBox.h"
#include "gui/UiAtlas.h"
#include "net/GameTypes.h"
#include "platform/window/WindowCodes.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/FrontWidgets.h"

namespace scenes {

namespace {
constexpr std::uint32_t kFirstTypeButton = 3300;
constexpr int kRowHeight = 22;
}  // namespace

PracticeSetupDialog::PracticeSetupDialog() {
    SetUpDialog(*this, kWidth, kHeight, u"Room setting");
    AddTextLine(*this, 24, 34, kWidth - 48, 20, u"Game type", gui::kFont14Bold);
    for (int t = 0; t < net::kGameTypeCount; ++t) {
        if (!net::GameTypeHasRules(t)) continue;
        const int row = static_cast<int>(types_.size());
        const int x = row % 2 ? kWidth / 2 + 4 : 24;
        const int y = 60 + (row / 2) * (kRowHeight + 6);
        gui::Button* b =
            AddCheckBox(*this, x, y, kWidth / 2 - 28, kFirstTypeButton + static_cast<std::uint32_t>(t),
                        WString(net::GameTypeLongName(t)), false);
        b->SetRadioMode(0);
        types_.push_back(t);
        buttons_.push_back(b);
    }
    AddOkCancel(*this, 44);
    Choose(types_.empty() ? 0 : types_.front());
    SetVisible(false);
}

void PracticeSetupDialog::Open(int gameType) {
    Choose(gameType);
    CenterOnScreen();
    Show(true);
}

void PracticeSetupDialog::Choose(int gameType) {
    if (!net::GameTypeHasRules(gameType) && !types_.empty()) gameType = types_.front();
    gameType_ = gameType;
    for (std::size_t i = 0; i < types_.size(); ++i) buttons_[i]->SetChecked(types_[i] == gameType);
}

bool PracticeSetupDialog::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event || !event.source) return false;
    const std::uint32_t id = event.source->Id();
    if (id >= kFirstTypeButton && id < kFirstTypeButton + net::kGameTypeCount) {
        Choose(static_cast<int>(id - kFirstTypeButton));
        return true;
    }
    if (id == front_button::kOk) {
        Show(false);
        gui::NoticeBox::Post(front_message::kPracticeSetupOk, front_button::kOk,
                             static_cast<std::uint32_t>(gameType_), 0);
        return true;
    }
    if (id == front_button::kCancel) {
        Show(false);
        return true;
    }
    return false;
}

}  // namespace scenes
