#pragma once
// A few shots struck on the project's own table world, as the journal reports them: one line
// "SHOT <gameType> <calls> <hash> <record>" each, so the gallery stand-in serves records made by the
// client's own writer and a check can compare a replay with the hash of the original.

#include <string>

namespace gallery_test {

std::string RecordShotLines();

}  // namespace gallery_test
