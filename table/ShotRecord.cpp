#include "table/ShotRecord.h"

#include <algorithm>
#include <cstring>

#include "table/TableItems.h"

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::uint8_t HexDigit(char c) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
    return 0;
}

class HexReader {
public:
    explicit HexReader(std::string_view text) : text_(text) {}

    std::uint8_t U8() {
        std::uint8_t v = static_cast<std::uint8_t>(HexDigit(text_[pos_]) * 16 + HexDigit(text_[pos_ + 1]));
        pos_ += 2;
        return v;
    }
    std::uint16_t U16() {
        std::uint16_t lo = U8();
        return static_cast<std::uint16_t>(lo | (U8() << 8));
    }
    std::uint32_t U32() {
        std::uint32_t v = U16();
        return v | (std::uint32_t{U16()} << 16);
    }
    float F32() {
        std::uint32_t bits = U32();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

constexpr std::size_t kHeaderChars = 70;
constexpr std::size_t kParamChars = 112;
constexpr std::size_t kBallCountOffset = 66;  // row 11 starts after 33 bytes
constexpr std::size_t kGameTypeOffset = 16;

}  // namespace

std::size_t ShotRecordHexLength(int ballCount, bool ballBytes) {
    return kHeaderChars + static_cast<std::size_t>(ballCount) * (ballBytes ? 58 : 56) + kParamChars;
}

ShotRecord::ParseResult ShotRecord::ParseHex(std::string_view text) {
    if (text.size() < kHeaderChars + kParamChars || text.size() % 2 != 0) return ParseResult::BadLength;
    if (!std::all_of(text.begin(), text.end(), IsHexDigit)) return ParseResult::BadHexDigit;
    const auto count = static_cast<std::int8_t>(HexDigit(text[kBallCountOffset]) * 16 +
                                                HexDigit(text[kBallCountOffset + 1]));
    if (count < 0 || count > kMaxBalls) return ParseResult::BadBallCount;
    const auto type =
        static_cast<std::int8_t>(HexDigit(text[kGameTypeOffset]) * 16 + HexDigit(text[kGameTypeOffset + 1]));
    if (type < 0 || type > 16) return ParseResult::BadGameType;
    if (text.size() != ShotRecordHexLength(count, type >= 10)) return ParseResult::BadLength;

    ShotRecord r;
    HexReader in(text);
    r.clientBuild = in.U32();
    r.physicsModelId = in.U32();
    r.gameType = in.U8();
    r.tableItem = in.U16();
    r.cueItem = in.U16();
    for (auto& item : r.cuePartItems) item = in.U16();
    for (auto& level : r.cuePartLevels) level = in.U8();
    r.ballSetItem = in.U16();
    r.wordAfterBallSet = in.U16();
    r.byteBeforeBallCount = in.U8();
    r.ballCount = in.U8();
    r.byteAfterBallCount = in.U8();
    for (int i = 0; i < count; ++i)
        for (auto& c : r.positions[i]) c = in.F32();
    for (int i = 0; i < count; ++i)
        for (auto& c : r.orientations[i]) c = in.F32();
    if (r.HasBallBytes())
        for (int i = 0; i < count; ++i) r.ballBytes[i] = in.U8();
    for (int i = 0; i < 11; ++i) r.shotParams[i] = in.F32();
    r.shotParams[14] = in.F32();
    r.shotParams[12] = in.F32();
    r.shotParams[13] = in.F32();
    if (r.tableItem > 1 && !table::FindTableItem(r.tableItem)) return ParseResult::BadTableType;
    *this = r;
    return ParseResult::Ok;
}
