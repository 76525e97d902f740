#pragma once
// The scenes each start mode registers, in the order they are created.

#include <memory>
#include <vector>

#include "app/lib/CommandLine.h"
#include "scenes/base/GameScene.h"

class App;

// Normal: intro, login, lobby, game room, school, practice, shot gallery, shop; offline: intro,
// login, offline table; replay: the replay viewer only.
std::vector<int> SceneIdsForMode(StartMode mode);

// The scene of an id. Until a scene's own class exists the plain GameScene stands in for it, so
// every mode starts and switches.
std::unique_ptr<scenes::GameScene> CreateGameScene(int id, App& app);
