#pragma once
// The scenes each start mode registers, in the order they are created, and the front end's shared
// windows the scene manager owns.

#include <memory>
#include <vector>

#include "app/lib/CommandLine.h"
#include "scenes/base/GameScene.h"

class App;
namespace gui {
class Dialog;
}

// Normal: intro, login, lobby, game room, school, practice, shot gallery, shop; offline: intro,
// login, offline table; replay: the replay viewer only.
std::vector<int> SceneIdsForMode(StartMode mode);

// The scene of an id. Until a scene's own class exists the plain GameScene stands in for it, so
// every mode starts and switches.
std::unique_ptr<scenes::GameScene> CreateGameScene(int id, App& app);

// The options dialog and the messenger shared by the scenes.
std::unique_ptr<gui::Dialog> CreateOptionDialog(App& app);
std::unique_ptr<gui::Dialog> CreateMessenger(App& app);
// The messenger on its clan page (app message 1066).
void OpenMessengerClanPage(gui::Dialog* messenger);
// Alt+Enter changed the mode: the options dialog's copy follows it.
void SetOptionDialogFullscreen(gui::Dialog* dialog, bool on);
