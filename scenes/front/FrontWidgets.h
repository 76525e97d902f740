#pragma once
// Small builders for the front end's windows: captioned buttons, check boxes, edit fields, labels
// and drop-down lists in the toolkit's common look.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "engine/core/Text.h"
#include "gui/FontDesc.h"
#include "gui/Painter.h"
#include "gui/Widget.h"

namespace gui {
class Button;
class ComboBox;
class Dialog;
class EditBox;
class TextLabel;
class Widget;
}  // namespace gui

namespace scenes {

// The layout of a screen made for the smallest client, 1024 x 768, kept in the middle of a larger client
// area (its parent, the scene), so that what centres itself on the client (the dialogs, the notices)
// opens over it.
class CentredLayout : public gui::Panel {
public:
    static constexpr int kWidth = 1024, kHeight = 768;
    // On a client lower than 768 the layout keeps its height and is cut equally at the top and the
    // bottom, or takes the client's height (what it anchors to its bottom stays on screen).
    enum class Lower { Cut, Fit };
    explicit CentredLayout(Lower lower = Lower::Cut);
    // Takes its place and size in a client area of this size and lays out its children.
    void Fit(int clientWidth, int clientHeight);
    // After the parent's layout centred it by its anchor: a fitted layout takes its height from the
    // parent.
    void OnResize(int width, int height) override;

private:
    Lower lower_;
};

// A front-end window: its size, the panel picture, the title, the open and close sounds, modal or
// not, hidden until shown.
void SetUpDialog(gui::Dialog& dialog, int width, int height, const WString& title, bool modal = true);
// The OK (2050, Enter) and Cancel (2051, Esc) buttons centred at the bottom, `bottom` pixels above
// the dialog's lower edge.
void AddOkCancel(gui::Dialog& dialog, int bottom, const WString& cancel = u"Cancel");

gui::Button* AddTextButton(gui::Widget& parent, int x, int y, int w, int h, std::uint32_t id,
                           const WString& caption, std::uint32_t hotkey = 0);
// A toggle button showing its state by its face (gold while checked); also serves as a tab or a
// choice among several.
gui::Button* AddCheckBox(gui::Widget& parent, int x, int y, int w, std::uint32_t id, const WString& caption,
                         bool checked);
// An on/off setting: a box ticked while on, with the caption after it.
gui::Button* AddCheckMarkBox(gui::Widget& parent, int x, int y, int w, std::uint32_t id,
                             const WString& caption, bool checked);
gui::EditBox* AddEditField(gui::Widget& parent, int x, int y, int w, int h, std::uint32_t id, int maxLength);
gui::TextLabel* AddTextLine(gui::Widget& parent, int x, int y, int w, int h, const WString& text,
                            const gui::FontDesc& font = gui::kFont12,
                            std::uint32_t flags = gui::align::kLeft | gui::align::kVCenter,
                            std::uint32_t argb = gui::skin::kText);
gui::ComboBox* AddChoice(gui::Widget& parent, int x, int y, int w, std::uint32_t id,
                         std::initializer_list<const char16_t*> items, int selected);

// The index of `value` in `values`, or `fallback` when it is not there.
int IndexOf(const std::vector<int>& values, int value, int fallback = 0);

}  // namespace scenes
