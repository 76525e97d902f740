#pragma once
// The windows the scene manager shares between the scenes: each scene that shows them takes them
// over on every entry, since the scene entered last holds them and only the current scene's widget
// tree is drawn and routed.

namespace gui {
class Button;
class Widget;
}  // namespace gui

namespace scenes {

class GameScene;

// The option dialog, the own and user info windows and the invite dialog become hidden children of
// `scene`, the own info window reading the session's own record; the messenger (and its question popup) too,
// shown again when it was open on the scene left; the messenger's new-message mark moves to `messengerButton`
// (none: it stays where it is).
void AttachSharedWindows(GameScene& scene, gui::Button* messengerButton);

}  // namespace scenes
