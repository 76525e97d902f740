#include "gui/TextInput.h"

#include <set>

#include "platform/sys/CriticalSection.h"
#include "platform/window/WindowCodes.h"

namespace gui {

namespace {

// Edit boxes are made and destroyed on the main thread, but the focus is read from the update
// thread's widget ticks as well; one lock keeps both consistent.
struct TextInputState {
    platform::CriticalSection lock;
    std::set<const EditBox*> alive;
    EditBox* focused = nullptr;
};

TextInputState& InputState() {
    static TextInputState state;
    return state;
}

constexpr int kPadding = 4;

bool IsSurrogateLow(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

EditBox::EditBox() {
    TextInputState& state = InputState();
    platform::ScopedLock lock(state.lock);
    state.alive.insert(this);
}

EditBox::~EditBox() {
    TextInputState& state = InputState();
    platform::ScopedLock lock(state.lock);
    state.alive.erase(this);
    if (state.focused == this) state.focused = nullptr;
}

bool EditBox::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    return Widget::Create(x, y, w, h, id, hotkey);
}

void EditBox::Setup(const FontDesc& font, int maxLength, std::uint32_t argb) {
    font_ = font;
    maxLength_ = maxLength < 0 ? 0 : maxLength;
    colour_ = argb;
    if (maxLength_ && text_.size() > static_cast<std::size_t>(maxLength_)) SetText(text_);
}

void EditBox::SetText(const WString& text) {
    text_ = text;
    if (maxLength_ && text_.size() > static_cast<std::size_t>(maxLength_)) {
        std::size_t cut = static_cast<std::size_t>(maxLength_);
        if (IsSurrogateLow(text_[cut])) --cut;  // never split a character
        text_.resize(cut);
    }
    composition_.clear();
    caret_ = static_cast<int>(text_.size());
}

void EditBox::SetFocus(bool on) {
    if (on)
        TextInputManager::SetFocus(this);
    else if (HasFocus())
        TextInputManager::ClearFocus();
    if (!on) composition_.clear();
}

bool EditBox::HasFocus() const {
    return TextInputManager::GetFocusedEdit() == this;
}

void EditBox::OnHide() {
    SetFocus(false);
}

void EditBox::OnEnable(bool enabled) {
    if (!enabled) SetFocus(false);
}

bool EditBox::Fits(std::size_t extra) const {
    return maxLength_ == 0 || text_.size() + extra <= static_cast<std::size_t>(maxLength_);
}

void EditBox::Insert(char16_t unit) {
    if (!Fits(1)) return;
    text_.insert(text_.begin() + caret_, unit);
    ++caret_;
}

bool EditBox::OnKey(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    const auto key = static_cast<std::uint32_t>(wParam);
    switch (message) {
        case platform::kWmImeComposition:
            if (static_cast<std::uint32_t>(lParam) & platform::kCompositionRestart) composition_.clear();
            // The composing syllable counts against the length, so a full field takes no more.
            if (wParam != 0 && Fits(composition_.size() + 1)) composition_ += static_cast<char16_t>(wParam);
            return true;
        case platform::kWmImeEndComposition:
            composition_.clear();
            return true;
        case platform::kWmChar: {
            if (key == platform::kVkReturn || key == platform::kVkEscape) {
                composition_.clear();
                Notify(static_cast<std::int32_t>(key));
                return true;
            }
            if (key == platform::kVkTab) return false;
            // Committed text replaces whatever was still composing.
            composition_.clear();
            if (key == platform::kVkBack) {
                if (caret_ > 0) {
                    int from = caret_ - 1;
                    if (from > 0 && IsSurrogateLow(text_[static_cast<std::size_t>(from)])) --from;
                    text_.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(caret_ - from));
                    caret_ = from;
                }
                return true;
            }
            if (key < 0x20 || key == 0x7F || key > 0xFFFF) return true;
            Insert(static_cast<char16_t>(key));
            return true;
        }
        case platform::kWmKeyDown: {
            if (!composition_.empty()) return true;
            const int size = static_cast<int>(text_.size());
            switch (key) {
                case platform::kVkLeft:
                    if (caret_ > 0) caret_ -= (caret_ > 1 && IsSurrogateLow(text_[caret_ - 1])) ? 2 : 1;
                    return true;
                case platform::kVkRight:
                    if (caret_ < size)
                        caret_ += (caret_ + 1 < size && IsSurrogateLow(text_[caret_ + 1])) ? 2 : 1;
                    return true;
                case platform::kVkHome:
                    caret_ = 0;
                    return true;
                case platform::kVkEnd:
                    caret_ = size;
                    return true;
                case platform::kVkDelete:
                    if (caret_ < size) {
                        const int count = (caret_ + 1 < size && IsSurrogateLow(text_[caret_ + 1])) ? 2 : 1;
                        text_.erase(static_cast<std::size_t>(caret_), static_cast<std::size_t>(count));
                    }
                    return true;
                case platform::kVkReturn:
                case platform::kVkEscape:
                case platform::kVkTab:
                    return false;
                default:
                    // Typing keys belong to the field; function keys still reach the scene.
                    return !(key >= platform::kVkF1 && key <= platform::kVkF12);
            }
        }
        case platform::kWmKeyUp:
            return !(key >= platform::kVkF1 && key <= platform::kVkF12) && key != platform::kVkReturn &&
                   key != platform::kVkEscape;
        default:
            return false;
    }
}

bool EditBox::OnMouse(const MouseEvent& event) {
    if (event.message != platform::kWmLButtonDown && event.message != platform::kWmLButtonDblClk)
        return event.message == platform::kWmLButtonUp;
    SetFocus(true);
    // The caret goes to the character boundary nearest the click.
    const WString shown = Shown(text_);
    const int target = event.x - kPadding;
    int best = 0, bestDistance = target < 0 ? -target : target;
    for (int i = 1; i <= static_cast<int>(shown.size()); ++i) {
        const int d =
            MeasureTextWidth(font_, WStringView(shown).substr(0, static_cast<std::size_t>(i))) - target;
        if ((d < 0 ? -d : d) < bestDistance) best = i, bestDistance = d < 0 ? -d : d;
    }
    caret_ = best;
    return true;
}

WString EditBox::Shown(const WString& text) const {
    return password_ ? WString(text.size(), u'*') : text;
}

void EditBox::Draw(Painter& painter, int x, int y) {
    const bool focused = HasFocus();
    if (!painter.Image(Image(), x, y, Width(), Height())) {
        painter.Fill(x, y, Width(), Height(), skin::kEdit);
        painter.Border(x, y, Width(), Height(), focused ? skin::kEditFocus : skin::kPanelBorder);
    }
    const WString before = Shown(text_.substr(0, static_cast<std::size_t>(caret_)));
    const WString after = Shown(text_.substr(static_cast<std::size_t>(caret_)));
    const int beforeWidth = MeasureTextWidth(font_, before);
    const int compWidth = MeasureTextWidth(font_, composition_);
    // Scrolls left so that the caret (and the composing syllable) stays inside the field.
    const int room = Width() - 2 * kPadding;
    const int shift = beforeWidth + compWidth > room ? beforeWidth + compWidth - room : 0;
    const int tx = x + kPadding - shift;
    const std::uint32_t colour = IsEnabled() ? colour_ : skin::kTextDisabled;
    // The shadow style of labels: the text colour's dark copy one pixel below right.
    const std::uint32_t shadow = style_ == 1 ? 0xC0000000 : 0;
    painter.Text(font_, before, tx, y, beforeWidth + 1, Height(), align::kVCenter, colour, shadow);
    if (!composition_.empty()) {
        painter.Fill(tx + beforeWidth, y + 2, compWidth, Height() - 4, 0x60FFFFFF);
        painter.Text(font_, composition_, tx + beforeWidth, y, compWidth + 1, Height(), align::kVCenter,
                     compColour_);
        painter.Fill(tx + beforeWidth, y + Height() - 3, compWidth, 1, compColour_);
    }
    painter.Text(font_, after, tx + beforeWidth + compWidth, y, Width(), Height(), align::kVCenter, colour,
                 shadow);
    if (focused) painter.Fill(tx + beforeWidth + compWidth, y + 3, 1, Height() - 6, colour_);
}

EditBox* TextInputManager::GetFocusedEdit() {
    TextInputState& state = InputState();
    platform::ScopedLock lock(state.lock);
    return state.focused;
}

bool TextInputManager::IsTypingOnScreen() {
    const EditBox* edit = GetFocusedEdit();
    return edit && edit->IsShownOnScreen() && edit->IsEnabled();
}

void TextInputManager::SetFocus(EditBox* edit) {
    TextInputState& state = InputState();
    platform::ScopedLock lock(state.lock);
    state.focused = edit && state.alive.count(edit) ? edit : nullptr;
}

void TextInputManager::ClearFocus() {
    TextInputState& state = InputState();
    platform::ScopedLock lock(state.lock);
    state.focused = nullptr;
}

bool TextInputManager::IsAlive(const EditBox* edit) {
    TextInputState& state = InputState();
    platform::ScopedLock lock(state.lock);
    return edit && state.alive.count(edit) != 0;
}

}  // namespace gui
