#include "app/lib/SceneFactory.h"

#include "app/lib/AppCodes.h"

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
    return std::make_unique<scenes::GameScene>(id);
}
