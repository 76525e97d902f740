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
// Left edges of the item strip and the chalk gauge: the strip's scroll arrow stands 12 pixels left
// of the strip and the gauge's use count starts 2 pixels into the gauge, so both keep clear of the
// screen's edge.
constexpr int kItemStripLeft = 16;
constexpr int kChalkGaugeLeft = 4;

// Title bar at (10, 4), 392 x 30, with its label at (130, 5).
gui::ImageWidget* AddTitleBar(gui::Widget& scene, const WString& title);
// A 33 x 34 button whose left edge lies `fromRight` pixels from the right edge (negative), top 4.
gui::Button* AddCornerButton(gui::Widget& scene, std::uint32_t id, int fromRight, std::uint32_t hotkey,
                             const WString& caption, const WString& tooltip);
// The key guide: 196 x 278, its left edge 200 pixels from the right, top 100; shown.
gui::ImageWidget* AddKeyGuide(gui::Widget& scene);
void ShowSharedDialog(gui::Dialog* dialog);
Scene* CurrentEngineScene(SceneManager* engineScenes);

}  // namespace scenes
