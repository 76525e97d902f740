#include "table/TableMessages.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace table {

namespace {

bool FiniteBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return std::isfinite(f);
}

void StartMessage(net::Packet& packet, std::uint16_t id, bool append) {
    if (append)
        packet.BeginNextMessage(id);
    else
        packet.Init(id);
}

void WriteWords(net::Packet& packet, const ShotWords& words) {
    for (float w : words.ToArray()) packet.WriteF32(w);
}

ShotWords ReadWords(net::Packet& packet) {
    std::array<float, kShotWordCount> w{};
    for (float& v : w) packet.ReadF32(v);
    return ShotWords::FromArray(w);
}

void WriteBallList(net::Packet& packet, const std::vector<std::uint8_t>& list) {
    // A count of 255 means "no list" to the rules and goes out as 0; no list is longer than the balls.
    const std::size_t count = list.size() >= 255 ? 0 : std::min<std::size_t>(list.size(), kMaxBalls);
    packet.WriteU8(static_cast<std::uint8_t>(count));
    for (std::size_t i = 0; i < count; ++i) packet.WriteU8(list[i]);
}

bool ReadBallList(net::Packet& packet, std::vector<std::uint8_t>& list) {
    const std::uint8_t count = packet.U8();
    if (count > kMaxBalls || packet.Remaining() < count) return false;
    list.resize(count);
    for (auto& b : list) b = packet.U8();
    return !packet.IsBad();
}

}  // namespace

void WriteBallStateBlock(net::Packet& packet, const BallStateBlock& block, std::int32_t gameType, bool append,
                         std::uint16_t id) {
    StartMessage(packet, id, append);
    const int n = std::min<int>(block.ballCount, kMaxBalls);
    packet.WriteU16(block.tableItem).WriteU16(block.ballSetItem).WriteU8(static_cast<std::uint8_t>(n));
    for (int i = 0; i < n; ++i)
        for (auto bits : block.positions[i]) packet.WriteU32(bits);
    for (int i = 0; i < n; ++i)
        for (auto bits : block.orientations[i]) packet.WriteU32(bits);
    if (gameType >= kFirstPocketGameType)
        for (int i = 0; i < n; ++i) packet.WriteU8(block.ballBytes[i]);
}

bool ReadBallStateBlock(net::Packet& packet, std::int32_t gameType, BallStateBlock& out) {
    BallStateBlock block;
    block.tableItem = packet.U16();
    block.ballSetItem = packet.U16();
    block.ballCount = packet.U8();
    if (packet.IsBad() || block.ballCount > kMaxBalls) return false;
    const int n = block.ballCount;
    for (int i = 0; i < n; ++i)
        for (auto& bits : block.positions[i]) {
            bits = packet.U32();
            if (!FiniteBits(bits)) return false;
        }
    for (int i = 0; i < n; ++i)
        for (auto& bits : block.orientations[i]) {
            bits = packet.U32();
            if (!FiniteBits(bits)) return false;
        }
    if (gameType >= kFirstPocketGameType)
        for (int i = 0; i < n; ++i) block.ballBytes[i] = packet.U8();
    if (packet.IsBad()) return false;
    out = block;
    return true;
}

void WriteShotMessage(net::Packet& packet, const ShotMessage& shot) {
    packet.Init(net::MessageId::Shot);
    packet.WriteU8(shot.currentBall).WriteU8(shot.shooterSeat);
    packet.WriteF32(shot.words.aimX).WriteF32(shot.words.aimY);
    WriteWords(packet, shot.words);
    packet.WriteU16(shot.cueItem);
    for (auto part : shot.cueParts) packet.WriteU16(part);
    packet.WriteU8(shot.chalkUsed).WriteU32(shot.shotSeed);
}

bool ReadShotMessage(net::Packet& packet, ShotMessage& out) {
    ShotMessage shot;
    shot.currentBall = packet.U8();
    shot.shooterSeat = packet.U8();
    packet.ReadF32(shot.aimPointX).ReadF32(shot.aimPointY);
    shot.words = ReadWords(packet);
    shot.cueItem = packet.U16();
    for (auto& part : shot.cueParts) part = packet.U16();
    shot.chalkUsed = packet.U8();
    shot.shotSeed = packet.U32();
    // Words that are no finite numbers are read as they came: the world fits them like words out of range.
    if (packet.IsBad() || shot.currentBall >= kMaxBalls) return false;
    out = shot;
    return true;
}

std::uint16_t WireResultCode(std::int32_t signedCode) {
    if (signedCode < 0) return static_cast<std::uint16_t>(signedCode);
    const auto code = static_cast<std::uint32_t>(signedCode);
    const std::uint32_t count = code % 1000;
    const std::uint32_t thousands = std::min<std::uint32_t>(code / 1000, 3);
    return static_cast<std::uint16_t>(count < 4 ? count : thousands * 1000 + count);
}

void WriteShotResultMessage(net::Packet& packet, const ShotResult& result, std::int32_t gameType) {
    packet.Init(net::MessageId::ShotResult);
    packet.WriteU16(WireResultCode(result.code));
    if (gameType < kFirstPocketGameType) return;
    packet.WriteU8(result.ruleValue);
    WriteBallList(packet, result.firstList);
    WriteBallList(packet, result.secondList);
}

bool ReadShotResultMessage(net::Packet& packet, std::int32_t gameType, ShotResult& out) {
    ShotResult result;
    result.code = static_cast<std::int16_t>(packet.U16());
    if (gameType >= kFirstPocketGameType) {
        result.ruleValue = packet.U8();
        if (!ReadBallList(packet, result.firstList) || !ReadBallList(packet, result.secondList)) return false;
    }
    if (packet.IsBad()) return false;
    out = std::move(result);
    return true;
}

void WriteBallPlacementMessage(net::Packet& packet, const BallPlacement& p) {
    packet.Init(net::MessageId::BallPlacement);
    packet.WriteU8(p.argument)
        .WriteU8(p.ball)
        .WriteF32(p.x)
        .WriteF32(p.y)
        .WriteF32(p.z)
        .WriteU8(p.calledPocket);
}

bool ReadBallPlacementMessage(net::Packet& packet, BallPlacement& out) {
    BallPlacement p;
    p.argument = packet.U8();
    p.ball = packet.U8();
    packet.ReadF32(p.x).ReadF32(p.y).ReadF32(p.z);
    p.calledPocket = packet.U8();
    const bool pocketOk = p.calledPocket == kNoPocket || (p.calledPocket >= 1 && p.calledPocket <= 6);
    if (packet.IsBad() || p.argument > 1 || p.ball >= kMaxBalls || !std::isfinite(p.x) ||
        !std::isfinite(p.y) || !std::isfinite(p.z) || !pocketOk)
        return false;
    out = p;
    return true;
}

bool ReadMarkedNumbersMessage(net::Packet& packet, MarkedNumbers& out) {
    MarkedNumbers marked;
    marked.layoutMode = packet.U8();
    const std::uint8_t count = packet.U8();
    if (packet.IsBad() || packet.Remaining() < std::size_t{count} * 2) return false;
    marked.numbers.resize(count);
    for (auto& n : marked.numbers) n = packet.U16();
    if (packet.IsBad()) return false;
    out = std::move(marked);
    return true;
}

bool ReadLinePointMessage(net::Packet& packet, LinePoint& out) {
    LinePoint p;
    p.lineIndex = packet.U8();
    packet.ReadF32(p.x).ReadF32(p.y).ReadF32(p.z);
    if (packet.IsBad() || !std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return false;
    out = p;
    return true;
}

}  // namespace table
