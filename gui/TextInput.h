#pragma once
// Text input: edit boxes and the one that has the text focus. An edit box takes characters,
// caret keys and the composition of an input method (Hangul is composed syllable by syllable:
// the composing syllable shows at the caret until the input method commits it as characters).

#include "gui/Widget.h"

namespace gui {

class EditBox : public Widget {
public:
    EditBox();
    ~EditBox() override;  // gives up the focus; a saved reference to it is no longer alive

    bool Create(int x, int y, int w, int h, std::uint32_t id = 0, std::uint32_t hotkey = 0) override;
    // The field's picture (a flat sunken field without it).
    void SetSkin(const UiImage& image) { SetImage(image); }
    // Font, the most UTF-16 units the text may hold (0 = no limit) and the text colour.
    void Setup(const FontDesc& font, int maxLength, std::uint32_t argb);
    // Text colour and the colour of the composing syllable.
    void SetTextColors(std::uint32_t text, std::uint32_t composition) {
        colour_ = text, compColour_ = composition;
    }
    void SetTextStyle(std::uint32_t style) { style_ = style; }
    // Shows every character as '*'.
    void SetPassword(bool on) { password_ = on; }
    // Replaces the text (cut to the maximum length); the caret goes to the end.
    void SetText(const WString& text);
    const WString& GetText() const { return text_; }
    const WString& Composition() const { return composition_; }
    int Caret() const { return caret_; }
    int MaxLength() const { return maxLength_; }

    // Takes the text focus (away from any other edit box) or gives it up.
    void SetFocus(bool on);
    bool HasFocus() const;

    void Draw(Painter& painter, int x, int y) override;
    bool OnMouse(const MouseEvent& event) override;
    bool OnKey(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void OnHide() override;
    // A field disabled gives up the text focus (and no longer shows the caret).
    void OnEnable(bool enabled) override;

private:
    void Insert(char16_t unit);
    bool Fits(std::size_t extra) const;
    WString Shown(const WString& text) const;

    WString text_;
    WString composition_;
    int caret_ = 0;
    int maxLength_ = 0;
    FontDesc font_ = kFont12;
    std::uint32_t colour_ = skin::kText;
    std::uint32_t compColour_ = 0xFFFFE080;
    std::uint32_t style_ = 0;
    bool password_ = false;
};

class TextInputManager {
public:
    // The edit box that has the text focus, or nullptr.
    static EditBox* GetFocusedEdit();
    // Whether an edit box shown on screen has the text focus, so typed keys go to it and not to
    // the scene (a box hidden with its window may keep the focus without taking keys).
    static bool IsTypingOnScreen();
    static void SetFocus(EditBox* edit);
    static void ClearFocus();
    // Whether the edit box still exists (a focus saved earlier may outlive its box).
    static bool IsAlive(const EditBox* edit);
};

}  // namespace gui
