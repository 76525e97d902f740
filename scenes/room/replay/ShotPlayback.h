#pragma once
// The playback loop the replay viewer and the shot gallery share: a shot record struck again and
// again, each time in the next of three views (normal speed, half speed, a quarter speed close up).

#include <cstdint>

#include "table/ShotRecord.h"

namespace table {
class TableWorld;
}

namespace scenes {

struct PlaybackView {
    bool firstFlag, secondFlag, shotZoom, fixedView;  // the world's camera-mode flags
    float timeScale;
    int speedPercent;
    float distance;     // of the camera turned behind the cue line
    bool pitchFromCue;  // the slow views look along the cue's elevation where the caller asks it
    const char16_t* label;
};

constexpr int kPlaybackViewCount = 3;
// Index 0..2; any other index is taken modulo the count.
const PlaybackView& PlaybackViewAt(int index);

// Puts the record's balls on the table and strikes it in view `index`: camera-mode flags, time scale,
// the camera turned behind the cue line over one second. False (nothing struck) when the record does
// not fit the world's table.
bool StrikeRecordedShot(table::TableWorld& world, const table::ShotRecord& record, int index, bool cuePitch);

// The journal line of a playback that came to rest: "REPLAY <playback> <speedPercent> <hash>".
void JournalPlaybackEnd(int playback, int speedPercent, std::uint32_t hash);

}  // namespace scenes
