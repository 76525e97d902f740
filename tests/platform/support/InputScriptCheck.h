#pragma once
// What must hold for the parse of any script text, shared by the libFuzzer target and the replay
// of its seed corpus in the unit tests.

#include <string>
#include <string_view>

namespace fuzz {

// Empty when every rule holds, else the first broken rule.
std::string CheckInputScriptParse(std::string_view text);

}  // namespace fuzz
