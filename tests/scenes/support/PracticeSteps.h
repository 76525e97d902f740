#pragma once
// Steps of a player in the practice room that several tests take.

#include <gtest/gtest.h>

#include "gui/Button.h"
#include "scenes/room/practice/EarnGoldDialogs.h"
#include "scenes/room/practice/PracticeCodes.h"
#include "scenes/room/practice/SceneRoomPractice.h"
#include "tests/scenes/support/TableSceneHost.h"

// The earn-gold button, then the mission's only row, as the player clicks them; the host's queue
// (which the notice boxes' poster fills) is delivered after.
inline void StartMissionByClicks(scenes::SceneRoomPractice& scene, TableSceneHost& host) {
    gui::CommandEvent button;
    button.code = gui::CommandCode::Event;
    button.id = scenes::practice::control::kEarnGold;
    scene.OnCommand(button);
    ASSERT_TRUE(scene.RulesDialog()->IsVisible());
    gui::CommandEvent row;
    row.code = gui::CommandCode::Event;
    row.source = scene.RulesDialog()->RowButton();
    scene.RulesDialog()->OnCommand(row);
    host.Deliver(scene);
    ASSERT_TRUE(scene.Mission().Active());
}
