#pragma once
// "Room setting": the game-type choice of the offline table and of the lobby's practice. OK posts
// application message 1038 (button id 2050, the chosen game type); the owner reads the choice from
// GameType().

#include <vector>

#include "gui/Dialog.h"

namespace gui {
class Button;
}

namespace scenes {

class PracticeSetupDialog : public gui::Dialog {
public:
    static constexpr int kWidth = 400;  // room for the longest game name on its button
    static constexpr int kHeight = 330;

    PracticeSetupDialog();

    // Shows the dialog centred with `gameType` chosen (a type without rules: the first in the list).
    void Open(int gameType);
    int GameType() const { return gameType_; }
    // The game types offered, in the order of the radio buttons.
    const std::vector<int>& Types() const { return types_; }
    bool OnCommand(const gui::CommandEvent& event) override;

private:
    void Choose(int gameType);

    std::vector<int> types_;
    std::vector<gui::Button*> buttons_;
    int gameType_ = 0;
};

}  // namespace scenes
