// Shot records come from the command line, lessons and the shot gallery: any text must be read or
// refused without a crash, and a record that was read must be one a world can place or refuse.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "table/TableWorld.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ShotRecord record;
    if (record.ParseHex(text) != table::ShotRecord::ParseResult::Ok) return 0;
    if (record.ballCount > 22 || record.gameType > 16) std::abort();
    static table::TableWorld world;
    if (world.ApplyShotRecord(record) && world.ExecuteShot(table::ShotMode::Replay, false)) {
        for (int tick = 0; tick < 400 && world.ShotExecuting(); ++tick) world.Update(tick, 0, 0, false);
        world.StopShotInProgress();
    }
    return 0;
}
