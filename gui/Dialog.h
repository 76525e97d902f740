#pragma once
// A window of its own: a background picture (or a flat panel with a title bar), open and close
// sounds, and a modal flag that makes it take all input while shown. Shown, it comes to the front
// and becomes the active window, and the journal gets "DIALOG <title>" once it is ready for input.

#include <functional>

#include "gui/Placement.h"
#include "gui/Widget.h"

namespace gui {

class Dialog : public Panel {
public:
    static constexpr int kTitleHeight = 26;

    Dialog();

    void SetModal(bool modal) { modal_ = modal; }
    // Sound ids played on showing and hiding; 0 = none.
    void SetSounds(int openSound, int closeSound) { openSound_ = openSound, closeSound_ = closeSound; }
    int OpenSound() const { return openSound_; }
    int CloseSound() const { return closeSound_; }
    // A popup draws without a title bar and with a shadow, and closes when it loses the focus: a
    // button pressed outside it, Escape while it is the topmost, another dialog shown outside it,
    // or the window going inactive (the scene manager's call).
    void SetPopupStyle(bool on) { popup_ = on; }
    bool IsPopupStyle() const { return popup_; }
    // The title drawn in the flat title bar when the background picture is missing.
    void SetTitle(const WString& title) { title_ = title; }
    const WString& Title() const { return title_; }
    // Places the dialog in the middle of the screen (halves rounded toward zero). It stays centred when
    // the client area changes size, until something moves it.
    void CenterOnScreen();
    // A draggable dialog with a title bar moves by it: a press on the bar (off its buttons) takes the
    // mouse, and the dialog follows the pointer until the button comes up, kept inside Area().
    void SetDraggable(bool on) { draggable_ = on; }
    // The player dragged the dialog since it was last placed with PlaceAt.
    bool MovedByPlayer() const { return movedByPlayer_; }
    // Puts the dialog's top left at (x, y) in client coordinates, inside Area(), and forgets the
    // player's move.
    void PlaceAt(int x, int y);
    // Moves the dialog back inside Area() where a smaller client area left it partly outside; one wholly
    // inside the client area stays where it is.
    void KeepInArea();
    // Where dialogs are placed and dragged: the client area below the window's caption strip.
    static ScreenRect Area();
    // Hides the dialog without its close sound: a window that closes takes the dialogs it opened with
    // it under its own one sound.
    void HideQuietly();

    // Journals the dialog when it becomes visible, after the dialog's own OnShow.
    void Show(bool visible) override;
    // The client area changed size (the toolkit's screen has the new one): a centred dialog is centred
    // again, another is kept in the area, shown or not, so that its buttons stay on the screen.
    void OnResize(int width, int height) override;
    void OnMoved() override { centred_ = false; }
    void OnShow() override;
    void OnHide() override;
    void Draw(Painter& painter, int x, int y) override;
    void DrawTree(Painter& painter, int originX, int originY) override;
    // A click on the dialog's background is used, so it never falls through to what lies behind; one
    // on the title bar of a draggable dialog starts a drag.
    bool OnMouse(const MouseEvent& event) override;
    bool IsMouseTransparent() const override { return false; }

    // Installed by the application: plays a UI sound by id.
    static void SetSoundPlayer(std::function<void(int id)> player);
    // Installed by the application: writes one journal line (dialogs and boxes that show).
    static void SetJournal(std::function<void(const WString& line)> journal);
    static void WriteJournal(const WString& line);

protected:
    // The line a dialog that shows writes: "DIALOG <title>"; boxes write their "BOX" line instead.
    virtual void JournalShown();

private:
    bool HasTitleBar() const { return !popup_ && !title_.empty(); }
    // Moves the dialog's top left to (x, y) in client coordinates, inside Area().
    void MoveInArea(int x, int y);

    int openSound_ = 0;
    int closeSound_ = 0;
    bool quiet_ = false;  // the hide under way plays no sound
    bool popup_ = false;
    bool draggable_ = false;
    bool dragging_ = false;
    bool movedByPlayer_ = false;
    bool centred_ = false;       // placed by CenterOnScreen and not moved since
    int grabX_ = 0, grabY_ = 0;  // where on the dialog the drag took it
    WString title_;
};

}  // namespace gui
