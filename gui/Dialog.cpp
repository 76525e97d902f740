#include "gui/Dialog.h"

#include <algorithm>
#include <mutex>

#include "gui/Overlays.h"
#include "gui/UiAtlas.h"
#include "gui/WidgetRouter.h"
#include "platform/window/WindowCodes.h"

namespace gui {

namespace {
std::mutex gSoundMutex;
std::function<void(int)> gSoundPlayer;
std::function<void(const WString&)> gJournal;  // under gSoundMutex too

void PlayUiSound(int id) {
    if (id == 0) return;
    std::function<void(int)> player;
    {
        std::lock_guard lock(gSoundMutex);
        player = gSoundPlayer;
    }
    if (player) player(id);
}
}  // namespace

Dialog::Dialog() = default;

void Dialog::SetSoundPlayer(std::function<void(int id)> player) {
    std::lock_guard lock(gSoundMutex);
    gSoundPlayer = std::move(player);
}

void Dialog::SetJournal(std::function<void(const WString& line)> journal) {
    std::lock_guard lock(gSoundMutex);
    gJournal = std::move(journal);
}

void Dialog::WriteJournal(const WString& line) {
    std::function<void(const WString&)> journal;
    {
        std::lock_guard lock(gSoundMutex);
        journal = gJournal;
    }
    if (journal) journal(line);
}

void Dialog::Show(bool visible) {
    const bool wasVisible = IsVisible();
    Panel::Show(visible);
    if (visible && !wasVisible) JournalShown();
}

void Dialog::JournalShown() {
    WriteJournal(u"DIALOG " + Title());
}

void Dialog::CenterOnScreen() {
    const GuiState& state = GetGuiState();
    const int parentX = GetParent() ? GetParent()->ScreenX() : 0;
    const int parentY = GetParent() ? GetParent()->ScreenY() : 0;
    MoveTo((state.screenWidth - Width()) / 2 - parentX, (state.screenHeight - Height()) / 2 - parentY);
    centred_ = true;
}

ScreenRect Dialog::Area() {
    const GuiState& state = GetGuiState();
    return {0, kCaptionStripHeight, state.screenWidth, state.screenHeight};
}

void Dialog::MoveInArea(int x, int y) {
    const ScreenRect area = Area();
    // A dialog larger than the area keeps its top left (and its title bar) inside.
    x = std::max(area.left, std::min(x, area.right - Width()));
    y = std::max(area.top, std::min(y, area.bottom - Height()));
    const int parentX = GetParent() ? GetParent()->ScreenX() : 0;
    const int parentY = GetParent() ? GetParent()->ScreenY() : 0;
    MoveTo(x - parentX, y - parentY);
}

void Dialog::PlaceAt(int x, int y) {
    movedByPlayer_ = false;
    MoveInArea(x, y);
}

void Dialog::KeepInArea() {
    const GuiState& state = GetGuiState();
    const int x = ScreenX(), y = ScreenY();
    if (x >= 0 && y >= 0 && x + Width() <= state.screenWidth && y + Height() <= state.screenHeight) return;
    MoveInArea(x, y);
}

void Dialog::OnResize(int width, int height) {
    if (centred_)
        CenterOnScreen();
    else
        KeepInArea();
    Panel::OnResize(width, height);
}

void Dialog::HideQuietly() {
    quiet_ = true;
    Show(false);
    quiet_ = false;
}

void Dialog::OnShow() {
    // The dialog takes the focus from the popups outside it.
    WidgetRouter::ClosePopups(*Root(), this);
    BringToFront();
    GetGuiState().focus = this;
    PlayUiSound(openSound_);
}

void Dialog::OnHide() {
    dragging_ = false;
    GuiState& state = GetGuiState();
    if (state.focus == this) state.focus = nullptr;
    if (!quiet_) PlayUiSound(closeSound_);
}

void Dialog::Draw(Painter& painter, int x, int y) {
    const bool pictured = painter.Image(Image(), x, y, Width(), Height());
    if (!pictured) {
        if (popup_) painter.Fill(x + 4, y + 4, Width(), Height(), 0x60000000);
        painter.Fill(x, y, Width(), Height(), skin::kPanel);
    }
    if (!popup_ && !title_.empty()) {
        if (!painter.Image(atlas::InSet(atlas::kTitleBar, Image().set), x + 1, y + 1, Width() - 2,
                           kTitleHeight)) {
            painter.Fill(x + 1, y + 1, Width() - 2, kTitleHeight, skin::kTitle);
            painter.Fill(x + 1, y + kTitleHeight + 1, Width() - 2, 1, skin::kLight);
        }
        painter.Text(kFont14Bold, title_, x + 10, y + 1, Width() - 20, kTitleHeight, align::kVCenter,
                     skin::kText, 0xC0000000);
    }
    if (!pictured) painter.Border(x, y, Width(), Height(), skin::kPanelBorder);
}

void Dialog::DrawTree(Painter& painter, int originX, int originY) {
    if (IsVisible() && IsModal()) ModalOverlay::Instance()->DrawOver(painter);
    Panel::DrawTree(painter, originX, originY);
}

bool Dialog::OnMouse(const MouseEvent& event) {
    if (!draggable_ || !HasTitleBar()) return true;
    switch (event.message) {
        case platform::kWmLButtonDown:
            if (event.y < 0 || event.y > kTitleHeight) break;
            dragging_ = true;
            grabX_ = event.x;
            grabY_ = event.y;
            SetCapture(true);
            break;
        case platform::kWmMouseMove:
            if (!dragging_ || !HasCapture()) break;
            MoveInArea(event.screenX - grabX_, event.screenY - grabY_);
            movedByPlayer_ = true;
            break;
        case platform::kWmLButtonUp:
            if (!dragging_) break;
            dragging_ = false;
            SetCapture(false);
            break;
        default:
            break;
    }
    return true;
}

}  // namespace gui
