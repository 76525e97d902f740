#include "table/ShotRecord.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/core/Format.h"
#include "engine/core/Hex.h"
#include "table/BallPlaces.h"
#include "table/GameTypes.h"
#include "table/TableItems.h"

namespace table {

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

class HexReader {
public:
    explicit HexReader(std::string_view text) : text_(text) {}

    std::uint8_t U8() {
        const std::uint8_t v = HexPairToByte(text_[pos_], text_[pos_ + 1]);
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

std::string F32ToHex(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return U32ToHex(bits);
}

}  // namespace

ShotWords ShotRecord::Words() const {
    std::array<float, kShotWordCount> words{};
    std::copy(shotParams.begin(), shotParams.end(), words.begin());
    return ShotWords::FromArray(words);
}

const char* ParseResultText(ShotRecord::ParseResult result) {
    switch (result) {
        case ShotRecord::ParseResult::Ok:
            return "no fault";
        case ShotRecord::ParseResult::BadLength:
            return "its length is not that of a shot record";
        case ShotRecord::ParseResult::BadHexDigit:
            return "it holds a character that is not a hex digit";
        case ShotRecord::ParseResult::BadBallCount:
            return "its ball count is outside 0 to 22";
        case ShotRecord::ParseResult::BadGameType:
            return "its game type is outside 0 to 16";
        case ShotRecord::ParseResult::BadTableType:
            return "its table is not one this client has";
    }
    return "unknown fault";
}

WString ShotRecordProblem(const ShotRecord& record) {
    const int type = record.gameType;
    if (!IsValidGameType(type)) return Format(u"its game type %d is not one this client has", type);
    const int balls = record.ballCount;
    const int wanted = GameTypeOf(type).ballCount;
    if (balls != wanted)
        return Format(u"it holds %d balls where its game type %d has %d", balls, type, wanted);
    if (record.byteBeforeBallCount >= balls)
        return Format(u"its cue ball %d is not one of its %d balls", int{record.byteBeforeBallCount}, balls);
    const auto finite = [](const auto& values) {
        return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
    };
    for (int i = 0; i < balls; ++i) {
        if (!finite(record.positions[static_cast<std::size_t>(i)]))
            return Format(u"the position of ball %d is no number", i);
        if (!finite(record.orientations[static_cast<std::size_t>(i)]))
            return Format(u"the orientation of ball %d is no number", i);
    }
    const auto count = static_cast<std::size_t>(balls);
    if (WString problem = BallsPlaceProblem(type, TableTypeOfGame(type, record.tableItem),
                                            std::span(record.positions).first(count),
                                            std::span(record.ballBytes).first(count));
        !problem.empty())
        return problem;
    return ShotWordsProblem(record.Words());
}

std::size_t ShotRecordHexLength(int ballCount, bool ballBytes) {
    return kHeaderChars + static_cast<std::size_t>(ballCount) * (ballBytes ? 58 : 56) + kParamChars;
}

ShotRecord::ParseResult ShotRecord::ParseHex(std::string_view text) {
    if (text.size() < kHeaderChars + kParamChars || text.size() % 2 != 0) return ParseResult::BadLength;
    if (!std::all_of(text.begin(), text.end(), IsHexDigit)) return ParseResult::BadHexDigit;
    const auto count =
        static_cast<std::int8_t>(HexPairToByte(text[kBallCountOffset], text[kBallCountOffset + 1]));
    if (count < 0 || count > kMaxBalls) return ParseResult::BadBallCount;
    const auto type =
        static_cast<std::int8_t>(HexPairToByte(text[kGameTypeOffset], text[kGameTypeOffset + 1]));
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

std::string ShotRecordToHex(const ShotRecord& r) {
    const int n = static_cast<std::int8_t>(r.ballCount);
    if (n < 0 || n > ShotRecord::kMaxBalls) return {};
    const int balls = n;

    std::string text;
    text.reserve(ShotRecordHexLength(balls, r.HasBallBytes()));
    text += U32ToHex(r.clientBuild);
    text += U32ToHex(r.physicsModelId);
    text += U8ToHex(r.gameType);
    text += U16ToHex(r.tableItem);
    text += U16ToHex(r.cueItem);
    for (auto item : r.cuePartItems) text += U16ToHex(item);
    for (auto level : r.cuePartLevels) text += U8ToHex(level);
    text += U16ToHex(r.ballSetItem);
    text += U16ToHex(r.wordAfterBallSet);
    text += U8ToHex(r.byteBeforeBallCount);
    text += U8ToHex(r.ballCount);
    text += U8ToHex(r.byteAfterBallCount);
    for (int i = 0; i < balls; ++i)
        for (float c : r.positions[i]) text += F32ToHex(c);
    for (int i = 0; i < balls; ++i)
        for (float c : r.orientations[i]) text += F32ToHex(c);
    if (r.HasBallBytes())
        for (int i = 0; i < balls; ++i) text += U8ToHex(r.ballBytes[i]);
    for (int i = 0; i < 11; ++i) text += F32ToHex(r.shotParams[i]);
    text += F32ToHex(r.shotParams[14]);
    text += F32ToHex(r.shotParams[12]);
    text += F32ToHex(r.shotParams[13]);
    return text;
}

}  // namespace table
