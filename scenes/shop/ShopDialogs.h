#pragma once
// The shop's small windows: the activation question of a time-limited item, the delete question
// and the guide picture of the personal cue windows.
//
// Threads: main thread only.

#include <cstdint>
#include <optional>

#include "gui/Dialog.h"

namespace scenes {

class SceneHost;

// A shop window that opens in the middle of the client area, whatever its size.
class CentredDialog : public gui::Dialog {
public:
    explicit CentredDialog(SceneHost* host) : host_(host) {}
    void OnShow() override;

protected:
    SceneHost* host_;
};

// "Activate Item": OK posts 1082 with the stored item (a = low 32 bits of its serial, b = mode,
// c = high 32 bits, so that serials beyond 32 bits reach the item), Cancel forgets it.
class ActivateItemDialog : public CentredDialog {
public:
    explicit ActivateItemDialog(SceneHost* host);
    void SetItem(std::uint64_t serial, std::uint32_t mode);
    bool HasItem() const { return hasItem_; }
    std::uint64_t Serial() const { return serial_; }
    // The serial of the last confirmed item, whose low half the posted message carries.
    std::optional<std::uint64_t> PostedSerial() const { return posted_; }
    bool OnCommand(const gui::CommandEvent& event) override;

private:
    std::optional<std::uint64_t> posted_;
    bool hasItem_ = false;
    std::uint64_t serial_ = 0;
    std::uint32_t mode_ = 0;
};

// "Question": OK hides and posts 1109; the shop stores the serial to delete before showing it.
class DeleteItemDialog : public CentredDialog {
public:
    explicit DeleteItemDialog(SceneHost* host);
    void SetSerial(std::uint64_t serial) { serial_ = serial; }
    std::uint64_t Serial() const { return serial_; }
    bool OnCommand(const gui::CommandEvent& event) override;

private:
    std::uint64_t serial_ = 0;
};

// One full picture of the shop's guide set with a close button.
class ShopPictureWindow : public CentredDialog {
public:
    static constexpr int kWidth = 565, kHeight = 464;
    explicit ShopPictureWindow(SceneHost* host);
    bool OnCommand(const gui::CommandEvent& event) override;
};

}  // namespace scenes
