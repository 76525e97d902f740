// Shot gallery replies come from a web host: any body must parse without a crash or a read past the
// text, keep every field inside its buffer and make no more rows or replies than the text holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "scenes/room/gallery/GalleryService.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    namespace g = scenes::gallery;
    const scenes::ShotList list = scenes::ParseShotList(body, size % 2 == 0);
    if (list.rows.size() > static_cast<std::size_t>(g::kListRows)) std::abort();
    for (const auto& row : list.rows)
        if (row.title.size() >= g::kTitleUnits || row.nickname.size() >= g::kNicknameUnits ||
            row.date.size() >= g::kDateUnits)
            std::abort();
    const scenes::ShotData shot = scenes::ParseShotData(body);
    if (shot.recordHex.size() > g::kMaxRecordChars || shot.replies.size() > size / 4 + 1) std::abort();
    for (const auto& reply : shot.replies)
        if (reply.nickname.size() >= g::kReplyNicknameUnits || reply.text.size() >= g::kReplyTextUnits)
            std::abort();
    return 0;
}
