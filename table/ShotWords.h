#pragma once
// The fifteen 4-byte shot words: what a strike needs, in the order of the rules' strike
// arguments, then the chalk value. They travel in message 2052, in the shot-state block and as
// the fifteen shot parameters of a shot record.

#include <array>
#include <cstdint>

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

}  // namespace table
