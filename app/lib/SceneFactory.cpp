#include "app/lib/SceneFactory.h"

#include "app/lib/AppCodes.h"

std::vector<int> SceneIdsForMode(StartMode mode) {
    using namespace scene_id;
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

std::unique_ptr<GameScene> CreateGameScene(int id, App&) {
    return std::make_unique<GameScene>(id);
}
