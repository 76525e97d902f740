// Shot records come from the command line, lessons, replays and the shot gallery as hex text. Any
// text is either refused, leaving the record as it was, or read; a record read writes back to text
// of the length the reader demands, that text reads back to the same record text, and the record is
// one a world can place or refuse: it places exactly the records the shared check (ShotRecordProblem,
// which the command line asks) lets through, so no record the command line takes is one the viewer
// cannot play.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "table/ShotRecord.h"
#include "table/TableWorld.h"

using table::ShotRecord;
using table::ShotRecordHexLength;
using table::ShotRecordToHex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ShotRecord record;
    const std::string before = ShotRecordToHex(record);
    if (record.ParseHex(text) != ShotRecord::ParseResult::Ok) {
        if (ShotRecordToHex(record) != before) std::abort();
        return 0;
    }
    if (record.ballCount > 22 || record.gameType > 16) std::abort();
    const std::string hex = ShotRecordToHex(record);
    if (hex.size() != ShotRecordHexLength(record.ballCount, record.HasBallBytes())) std::abort();
    ShotRecord again;
    if (again.ParseHex(hex) != ShotRecord::ParseResult::Ok || ShotRecordToHex(again) != hex) std::abort();

    static table::TableWorld world;
    const bool placed = world.ApplyShotRecord(record);
    if (placed != table::ShotRecordProblem(record).empty()) std::abort();
    if (placed && world.ExecuteShot(table::ShotMode::Replay, false)) {
        for (int tick = 0; tick < 400 && world.ShotExecuting(); ++tick) world.Update(tick, 0, 0, false);
        world.StopShotInProgress();
    }
    return 0;
}
