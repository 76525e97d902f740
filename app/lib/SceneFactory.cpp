#include "app/lib/SceneFactory.h"

#include "app/lib/AppCodes.h"
#include "scenes/room/offline/SceneAlone.h"
#include "scenes/room/replay/SceneReplay.h"

std::vector<int> SceneIdsForMode(StartMode mode) {
    using namespace scenes::scene_id;
    switch (mode) {
        case StartMode::Normal:
            return {kIntro, kLogin, kLobby, kGameRoom, kSchool, kPractice, kShotGallery, kShop};
        case StartMode::Offline:
            return {kIntro, kLogin, kOffline};
        case StartMode::Replay:
            return {kReplay};
    }
    return {};
}

std::unique_ptr<scenes::GameScene> CreateGameScene(int id, App&) {
    switch (id) {
        case scenes::scene_id::kOffline:
            return std::make_unique<scenes::SceneAlone>();
        case scenes::scene_id::kReplay:
            return std::make_unique<scenes::SceneReplay>();
        default:
            return std::make_unique<scenes::GameScene>(id);
    }
}
