#pragma once
// The fifteen 4-byte shot words: what a strike needs, in the order of the rules' strike
// arguments, then the chalk value. They travel in message 2052, in the shot-state block and as
// the fifteen shot parameters of a shot record.

#include <array>
#include <cstdint>

#include "engine/core/Text.h"
#include "table/WorldConstants.h"

namespace table {

struct ShotWords {
    float maxPower = kDefaultPower;
    float power = kDefaultPower;
    float contactFactor = 0;
    float aimX = 0, aimY = 0;  // the point on the table the cue ball is struck toward (cm)
    float offsetLimitSide = 0, offsetLimitVertical = 0;
    float tipOffsetSide = 0, tipOffsetVertical = 0;
    float elevationDegrees = 0;
    float limitFactor = kDefaultLimitFactor;
    float stiffnessFactor = 0;
    float reductionA = 0, reductionB = 0;  // offset reduction; a = 0 leaves the offsets alone
    float chalk = 0;                       // the chalk value at the strike (not a strike argument)

    std::array<float, kShotWordCount> ToArray() const {
        return {maxPower,
                power,
                contactFactor,
                aimX,
                aimY,
                offsetLimitSide,
                offsetLimitVertical,
                tipOffsetSide,
                tipOffsetVertical,
                elevationDegrees,
                limitFactor,
                stiffnessFactor,
                reductionA,
                reductionB,
                chalk};
    }
    static ShotWords FromArray(const std::array<float, kShotWordCount>& w) {
        ShotWords s;
        s.maxPower = w[0];
        s.power = w[1];
        s.contactFactor = w[2];
        s.aimX = w[3];
        s.aimY = w[4];
        s.offsetLimitSide = w[5];
        s.offsetLimitVertical = w[6];
        s.tipOffsetSide = w[7];
        s.tipOffsetVertical = w[8];
        s.elevationDegrees = w[9];
        s.limitFactor = w[10];
        s.stiffnessFactor = w[11];
        s.reductionA = w[12];
        s.reductionB = w[13];
        s.chalk = w[14];
        return s;
    }
    // Every word a finite number: words from the network or a record are refused otherwise.
    bool IsFinite() const;
};

// The range of one strike word as a client sends it. A peer's shot (2052) or a record whose word
// lies outside strikes with what no client aims, and may never come to rest: a power of 100, a
// contact factor that makes the contact time negative, an aim point so far away that its distance
// is no number. Maximum power and chalk are free (any finite value strikes soundly).
struct ShotWordLimit {
    float ShotWords::*word;
    const char16_t* name;
    float lo, hi;
};
// How far from the table's centre an aim point may lie along either axis (cm): a client aims
// kAimPointDistance from the cue ball, and a cue ball in play lies within the largest table's frame
// and a few cm (InPlayBox, BallPlaces.h), with room to spare.
constexpr float kAimReach = 700.0f;
// The limits in word order: power 0..1, contactFactor 0..1, the aim point within kAimReach, the four
// offsets -1..1, elevation 0..90 degrees, limitFactor 0..2, stiffnessFactor 0..1, the offset
// reductions 0..4 cm.
const std::array<ShotWordLimit, 13>& ShotWordLimits();
// The first word outside its limit, or null when every word fits (a word that is no number does not
// fit).
const ShotWordLimit* FirstWordOutOfLimit(const ShotWords& words);
// Brings each free word and aim coordinate that is no finite number to its value in the default shot,
// each strike word outside its limit to the nearer bound (an infinity to the bound on its side, a word
// that is no number to the lower bound), and then an offset limit pair that differs from the tip
// offset pair to the tip offsets (a client sends them equal; some models strike a ball that is no
// number from two that differ); the number of words changed. The same bits give the same words on
// every client.
int FitToLimits(ShotWords& words);
// What keeps the words from being played as they are, for a log line ("power 100 outside 0 to 1",
// "a word that is no number", "offsetLimit side 0.5 differs from tipOffset side 0.2"); empty when
// nothing does.
WString ShotWordsProblem(const ShotWords& words);

}  // namespace table
