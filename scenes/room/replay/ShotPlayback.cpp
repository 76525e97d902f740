#include "scenes/room/replay/ShotPlayback.h"

#include <cstdio>

#include "platform/sys/Journal.h"
#include "table/TableWorld.h"

namespace scenes {

namespace {

constexpr float kViewTurnSeconds = 1.0f;

constexpr PlaybackView kViews[kPlaybackViewCount] = {
    {false, false, true, false, table::kTimeScaleNormal, 100, 300.0f, false, u"Normal Speed"},
    {false, true, false, false, table::kTimeScaleHalf, 50, 240.0f, true, u"½ Speed"},
    {true, true, false, false, table::kTimeScaleQuarter, 25, 60.0f, true, u"¼ Speed"},
};

}  // namespace

const PlaybackView& PlaybackViewAt(int index) {
    const int wrapped = ((index % kPlaybackViewCount) + kPlaybackViewCount) % kPlaybackViewCount;
    return kViews[wrapped];
}

bool StrikeRecordedShot(table::TableWorld& world, const table::ShotRecord& record, int index, bool cuePitch) {
    if (!world.ApplyShotRecord(record)) return false;
    world.SnapshotBalls();
    world.UpdateAimObjects();
    const PlaybackView& view = PlaybackViewAt(index);
    world.SetCameraModeFlags(view.firstFlag, view.secondFlag, view.shotZoom, view.fixedView);
    world.SetTimeScale(view.timeScale);
    world.TurnCameraToCueLine(view.distance, kViewTurnSeconds, cuePitch && view.pitchFromCue, false);
    world.mouseCameraControl = true;
    return world.ExecuteShot(table::ShotMode::Replay, false);
}

void JournalPlaybackEnd(int playback, int speedPercent, std::uint32_t hash) {
    char line[64];
    std::snprintf(line, sizeof line, "REPLAY %d %d %08x", playback, speedPercent, hash);
    platform::Journal::Write(line);
}

}  // namespace scenes
