#pragma once
// The settings window of every scene's Settings button. It works on a copy of the options store:
// each time it is shown it takes a fresh copy, shows every value in its controls (a value a list
// does not hold is added to it) and centres itself. The controls change the copy, OK compares it
// with the store through the change tests, puts it in the store, saves config.ini and re-applies
// only what changed (sound channels, server-kept settings, the video mode, the controls); Cancel
// drops the copy.

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/core/Options.h"
#include "gui/Dialog.h"

namespace gui {
class Button;
class ComboBox;
}  // namespace gui

namespace scenes {

class SceneHost;

class OptionDialog : public gui::Dialog {
public:
    static constexpr int kWidth = 560;
    static constexpr int kHeight = 470;

    explicit OptionDialog(SceneHost* host);

    // Shows the dialog (as Show(true) does); when it is shown already, starts again from the store.
    void Open();
    // Applies the copy (OK). False when config.ini could not be written (the settings still apply
    // and an error box says so).
    bool ApplyAndSave();
    // Drops the copy (Cancel).
    void Cancel();
    // Alt+Enter toggled the mode while the dialog may be open: the copy follows it.
    void SetFullscreen(bool on);
    // From a game room, before it opens: while a game runs with the own seat playing, the display
    // mode and device settings are locked (changing them resets the device mid-shot). The flags
    // hold until the dialog is hidden.
    void SetGameRoomFlags(bool gameRunning, bool ownSeatPlays);

    // The drop-downs bound to one setting each; the resolution list comes besides them.
    static constexpr std::size_t kChoiceCount = 11;

    const Options& Working() const { return working_; }
    Options& MutableWorking() { return working_; }
    bool OnCommand(const gui::CommandEvent& event) override;
    void OnShow() override;
    void OnHide() override;

private:
    void Build();
    // Takes a fresh copy of the store, fills the controls and centres the dialog.
    void Refresh();
    void FillControls();
    void ReadControl(std::uint32_t id, std::int32_t value);
    void Apply(const Options& before);
    // The size the client draws at with these options, selected in the resolution list.
    std::pair<int, int> SizeInForce(const Options& options) const;

    SceneHost* host_;
    Options working_;
    bool gameRunning_ = false;
    bool ownSeatPlays_ = false;
    std::array<gui::ComboBox*, kChoiceCount + 1> combos_{};  // the last one is the resolution
    std::array<gui::Button*, 16> checks_{};
    // The value of each item of each list as filled when the dialog was shown.
    std::array<std::vector<int>, kChoiceCount> shownValues_;
    std::vector<std::pair<int, int>> shownModes_;
    // The resolution picked since the dialog was filled (0 x 0: none), for the window's size.
    std::pair<int, int> windowSize_{0, 0};
    // The size in force before the last change of size, offered for the way back.
    std::pair<int, int> cameFrom_{0, 0};
};

// Shows the shared options dialog from a scene's Settings button or key; a game room tells
// whether a game runs and the own seat plays.
void OpenOptionDialog(gui::Dialog* dialog, bool gameRunning = false, bool ownSeatPlays = false);

}  // namespace scenes
