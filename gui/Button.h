#pragma once
// A push button with an image strip (frames left to right: normal, hover, pressed, disabled, and
// for checked buttons checked, checked hover, checked disabled), a caption, and toggle or radio
// behaviour. A click goes to the parent as a command: a plain button sends the mouse button
// (0 left, 1 right), a toggle its new checked state, a radio button its index in its group.

#include "gui/Widget.h"

namespace gui {

class TextLabel;

class Button : public Widget {
public:
    static constexpr int kMaxFrames = 7;

    void SetCaption(const WString& text) { caption_ = text; }
    const WString& Caption() const { return caption_; }
    void SetCaptionFont(const FontDesc& font) { font_ = font; }
    const FontDesc& CaptionFont() const { return font_; }
    void SetCaptionColour(std::uint32_t argb) { captionColour_ = argb; }
    std::uint32_t CaptionColour() const { return captionColour_; }
    // A further caption as a label child (e.g. a second line or a count), centred by default.
    TextLabel* AddCaption(const WString& text, const FontDesc& font = kFont12,
                          std::uint32_t argb = skin::kText);
    void SetToggleMode(bool on) { toggle_ = on; }
    bool IsToggle() const { return toggle_; }
    // A check box: a small box at the left, ticked while checked, and the caption after it. Only
    // a toggle without an image draws so.
    void SetCheckMarkStyle(bool on) { checkMark_ = on; }
    bool HasCheckMarkStyle() const { return checkMark_; }
    // Radio behaviour: checking one button unchecks the buttons of the same group among its
    // siblings. Radio buttons use a 7-frame strip.
    void SetRadioMode(int group);
    bool IsRadio() const { return group_ >= 0; }
    int RadioGroup() const { return group_; }
    void SetChecked(bool checked);
    bool IsChecked() const { return checked_; }
    void SetFrameCount(int count) { frames_ = count < 1 ? 1 : count > kMaxFrames ? kMaxFrames : count; }
    int FrameCount() const { return frames_; }
    // The strip frame drawn for the current state.
    int CurrentFrame() const;
    // Index of this button among the siblings of its radio group, in creation order.
    int RadioIndex() const;

    // Presses the button as a click of the given mouse button would.
    void Click(int mouseButton = 0);

    void Draw(Painter& painter, int x, int y) override;
    bool OnMouse(const MouseEvent& event) override;
    bool OnHotkey() override;

private:
    void DrawCheckMarkBox(Painter& painter, int x, int y);

    WString caption_;
    FontDesc font_ = kFont12Bold;
    std::uint32_t captionColour_ = skin::kText;
    bool toggle_ = false;
    bool checkMark_ = false;
    int group_ = -1;
    bool checked_ = false;
    int frames_ = 1;
    int pressedButton_ = -1;
};

}  // namespace gui
