#pragma once
// Command-line splitting and the choice of the start mode.

#include <string>
#include <vector>

#include "engine/core/Text.h"

enum class StartMode : unsigned { Normal = 0, Offline = 1, Replay = 2 };

// Appends the arguments of a wide command line to `out`: blanks end a token outside double quotes,
// a double quote toggles quoting and is dropped, and afterwards an argument of at least two
// characters wrapped in single quotes loses them. Consecutive blanks give no empty arguments.
void SplitCommandLine(WStringView text, std::vector<WString>& out);

// Joins process arguments into one command line as the launcher passes it: an argument holding a
// blank (or empty) is wrapped in double quotes.
WString JoinArguments(const std::vector<std::string>& args);

struct StartChoice {
    bool startLauncher = false;  // too few arguments: hand over to the launcher and end
    StartMode mode = StartMode::Normal;
};

// Mode by argument count and word; the comparison is exact and case-sensitive.
StartChoice ChooseStartMode(const std::vector<WString>& args);

// Argument `index`, or an empty text when the command line is shorter.
WString ArgumentOrEmpty(const std::vector<WString>& args, std::size_t index);
