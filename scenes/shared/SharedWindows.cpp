#include "scenes/shared/SharedWindows.h"

#include "gui/CommonDialogs.h"
#include "gui/PlayerInfoWindows.h"
#include "net/GameSession.h"
#include "scenes/base/GameScene.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/Messenger.h"

namespace scenes {

void AttachSharedWindows(GameScene& scene, gui::Button* messengerButton) {
    SceneHost* host = scene.Host();
    if (!host) return;
    gui::Widget* popups[] = {host->GetOptionDialog(), host->GetMyInfoWindow(), host->GetUserInfoWindow(),
                             host->GetInviteDialog()};
    for (gui::Widget* popup : popups)
        if (popup) scene.AddChild(popup, false);
    // The own info window shows the signed-in player whichever scene opens it.
    if (gui::MyInfoWindow* myInfo = host->GetMyInfoWindow()) {
        net::GameSession* session = host->CurrentSession();
        myInfo->SetRecord(session ? &session->own : nullptr);
    }
    if (auto* messenger = dynamic_cast<Messenger*>(host->GetMessenger())) {
        messenger->MoveToScene(scene);
        if (messengerButton) messenger->AttachAlertIcon(messengerButton);
    }
}

}  // namespace scenes
