#pragma once
// The settings window of every scene's Settings button. It works on a copy of the options store:
// the controls change the copy, OK compares it with the store through the change tests, puts it in
// the store, saves config.ini and re-applies only what changed (sound channels, server-kept
// settings, the video mode, the controls); Cancel drops the copy.

#include <array>
#include <cstdint>

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

    // Takes a fresh copy of the store, fills the controls and shows the dialog centred.
    void Open();
    // Applies the copy (OK). False when config.ini could not be written (the settings still apply
    // and an error box says so).
    bool ApplyAndSave();
    // Drops the copy (Cancel).
    void Cancel();
    // Alt+Enter toggled the mode while the dialog may be open: the copy follows it.
    void SetFullscreen(bool on);
    // From a game room: while a game runs with the own seat playing, the display mode and device
    // settings are locked (changing them resets the device mid-shot).
    void SetGameRoomFlags(bool gameRunning, bool ownSeatPlays);

    const Options& Working() const { return working_; }
    Options& MutableWorking() { return working_; }
    bool OnCommand(const gui::CommandEvent& event) override;

private:
    void Build();
    void FillControls();
    void ReadControl(std::uint32_t id, std::int32_t value);
    void Apply(const Options& before);

    SceneHost* host_;
    Options working_;
    bool gameRunning_ = false;
    bool ownSeatPlays_ = false;
    std::array<gui::ComboBox*, 16> combos_{};
    std::array<gui::Button*, 16> checks_{};
};

}  // namespace scenes
