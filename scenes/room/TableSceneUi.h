#pragma once
// Widgets the table scenes share: the title bar, the small buttons along the top right, the key
// guide, and the shared popups they attach and show.

#include <cstdint>
#include <vector>

#include "engine/core/Text.h"

class Scene;
class SceneManager;

namespace gui {
class Button;
class Dialog;
class ImageWidget;
class Widget;
}  // namespace gui

namespace scenes {

class GameScene;

// The music that plays on the table scenes.
constexpr int kMusicStream = 4;
// Left edges of the item strip and the chalk gauge: the strip's scroll arrow stands 12 pixels left
// of the strip and the gauge's use count starts 2 pixels into the gauge, so both keep clear of the
// screen's edge.
constexpr int kItemStripLeft = 16;
constexpr int kChalkGaugeLeft = 4;
// The columns the top view's table keeps clear of (`TableWorld::SetTopViewInsets`): the key guide's
// at the right edge, where the scenes' panels and the room's player list stand too, and the chalk
// gauge's at the left.
constexpr int kKeyGuideColumn = 204;
constexpr int kChalkGaugeColumn = 76;
// The key guide's width and its right edge's distance from the screen's: panels that stand in its
// column (the practice room's mission panel) line up with it.
constexpr int kKeyGuideWidth = 196;
constexpr int kKeyGuideRightMargin = 4;
// The top view's right inset on a screen `screenWidth` wide: the key guide's column, or, while the
// replay panel (which stands left of that column) is shown, the room left of the panel at its
// normal size.
int TopViewRightInset(const gui::Widget* replayPanel, int screenWidth);

// Title bar at (10, 4), 392 x 30, with its label at (130, 5).
gui::ImageWidget* AddTitleBar(gui::Widget& scene, const WString& title);
// A 33 x 34 button whose left edge lies `fromRight` pixels from the right edge (negative), top 4.
gui::Button* AddCornerButton(gui::Widget& scene, std::uint32_t id, int fromRight, std::uint32_t hotkey,
                             const WString& caption, const WString& tooltip);
// The key guide: 196 wide and as tall as its lines, its left edge 200 pixels from the right, top 100;
// shown. `freePractice` lists what only a free practice table has (a ball moved with Ctrl and the
// left button, U: the balls back where the shot started); `replay` lists R (the last shot on the
// replay panel), which only the game and practice rooms have.
gui::ImageWidget* AddKeyGuide(gui::Widget& scene, bool freePractice, bool replay = false);
// The shared notice box's layout with "Yes" (Enter) and "No" (Esc).
constexpr int kYesNoLayout = 2;

// What the shared notice box is to ask: its caption and lines, the toolkit's button layout and the
// message its buttons post (result code, button id, parameter).
struct SharedBoxText {
    WString caption;
    std::vector<WString> lines;
    int layout = 0;
    std::uint32_t result = 0;
    std::uint32_t param = 0;
};
// Opens the host's shared notice box over the scene, centred; without one (tools, tests) the box is
// only journalled and false comes back.
bool OpenSharedBox(GameScene& scene, const SharedBoxText& text);
// A chat row's strip reaches 40 pixels past the text of its line, whatever the width of its picture.
void StretchChatRow(gui::Widget& row, int textWidth);
void ShowSharedDialog(gui::Dialog* dialog);
Scene* CurrentEngineScene(SceneManager* engineScenes);

}  // namespace scenes
