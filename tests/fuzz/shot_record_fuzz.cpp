// Shot records arrive as hex text from the server (lessons, replays, the shot gallery). Any text is
// either refused, leaving the record as it was, or read; a record read writes back to text of the
// length the reader demands, and that text reads back to the same record text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "table/ShotRecord.h"

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
    const std::string hex = ShotRecordToHex(record);
    if (hex.size() != ShotRecordHexLength(record.ballCount, record.HasBallBytes())) std::abort();
    ShotRecord again;
    if (again.ParseHex(hex) != ShotRecord::ParseResult::Ok || ShotRecordToHex(again) != hex) std::abort();
    return 0;
}
