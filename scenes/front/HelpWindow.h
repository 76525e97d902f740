#pragma once
// The help window: the controls page, the lobby page and the rules page of each game type.

#include <array>
#include <cstdint>

#include "gui/Dialog.h"

namespace gui {
class ComboBox;
class TextLabel;
}  // namespace gui

namespace scenes {

class HelpWindow : public gui::Dialog {
public:
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 460;
    static constexpr int kLineCount = 15;
    // Pages: 0 controls, 1 lobby, 2 the rules of a game type.
    enum Mode : int { kControls = 0, kLobby = 1, kRules = 2 };

    HelpWindow();

    // Shows the page of `mode` (another value shows the controls); mode 2 shows the rules of the
    // game type, or of 3-Cushion when the type has no rules.
    void Open(int mode, int gameType);

    int Mode() const { return mode_; }
    int GameType() const { return gameType_; }
    // Line i of the page shown.
    const WString& Line(int index) const;
    bool OnCommand(const gui::CommandEvent& event) override;

private:
    void ShowPage(int mode, int gameType);

    int mode_ = kControls;
    int gameType_ = 4;
    std::array<gui::TextLabel*, kLineCount> lines_{};
    gui::ComboBox* gameTypes_ = nullptr;
};

}  // namespace scenes
