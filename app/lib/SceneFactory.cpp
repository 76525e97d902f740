#include "app/lib/SceneFactory.h"

#include "app/lib/App.h"
#include "app/lib/AppCodes.h"
#include "scenes/front/Messenger.h"
#include "scenes/front/OptionDialog.h"
#include "scenes/front/SceneIntro.h"
#include "scenes/front/SceneLobby.h"
#include "scenes/front/SceneLogin.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/gallery/SceneShotGallery.h"
#include "scenes/room/offline/SceneAlone.h"
#include "scenes/room/practice/SceneRoomPractice.h"
#include "scenes/room/replay/SceneReplay.h"
#include "scenes/room/school/SceneSchool.h"
#include "scenes/shop/SceneShop.h"

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
    using namespace scenes::scene_id;
    switch (id) {
        case kIntro:
            return std::make_unique<scenes::SceneIntro>();
        case kLogin:
            return std::make_unique<scenes::SceneLogin>();
        case kLobby:
            return std::make_unique<scenes::SceneLobby>();
        case kShop:
            return std::make_unique<scenes::SceneShop>();
        case kGameRoom:
            return std::make_unique<scenes::SceneRoomGame>();
        case kOffline:
            return std::make_unique<scenes::SceneAlone>();
        case kReplay:
            return std::make_unique<scenes::SceneReplay>();
        case kSchool:
            return std::make_unique<scenes::SceneSchool>();
        case kShotGallery:
            return std::make_unique<scenes::SceneShotGallery>();
        case kPractice:
            return std::make_unique<scenes::SceneRoomPractice>();
        default:
            return std::make_unique<scenes::GameScene>(id);
    }
}

std::unique_ptr<gui::Dialog> CreateOptionDialog(App& app) {
    return std::make_unique<scenes::OptionDialog>(&app);
}

std::unique_ptr<gui::Dialog> CreateMessenger(App& app) {
    return std::make_unique<scenes::Messenger>(&app);
}

void SetOptionDialogFullscreen(gui::Dialog* dialog, bool on) {
    if (auto* options = dynamic_cast<scenes::OptionDialog*>(dialog)) options->SetFullscreen(on);
}

void OpenMessengerClanPage(gui::Dialog* messenger) {
    if (auto* m = dynamic_cast<scenes::Messenger*>(messenger)) m->OpenClanDialog();
}
