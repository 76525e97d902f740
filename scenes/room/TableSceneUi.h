#pragma once
// Widgets the table scenes share: the title bar, the small buttons along the top right, the key
// guide, and the shared popups they attach and show.

#include <cstdint>

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

// Title bar at (10, 4), 392 x 30, with its label at (130, 5).
gui::ImageWidget* AddTitleBar(gui::Widget& scene, const WString& title);
// A 33 x 34 button whose left edge lies `fromRight` pixels from the right edge (negative), top 4.
gui::Button* AddCornerButton(gui::Widget& scene, std::uint32_t id, int fromRight, std::uint32_t hotkey,
                             const WString& caption, const WString& tooltip);
// The key guide: 196 x 278, its left edge 200 pixels from the right, top 100; shown. `ballsBack`
// lists U (the balls back where the shot started), which only a free practice table has.
gui::ImageWidget* AddKeyGuide(gui::Widget& scene, bool ballsBack);
// The host's option dialog, user info and own info windows become children of the scene.
void AttachSharedPopups(GameScene& scene);
void ShowSharedDialog(gui::Dialog* dialog);
Scene* CurrentEngineScene(SceneManager* engineScenes);

}  // namespace scenes
