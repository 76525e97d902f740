#pragma once
// The command line: what a start asks for, checked once here, and the usage text.
//
// The forms (element 0 of argv is the program path):
//   marvenlot                                   hand over to the launcher
//   marvenlot offline                           offline table
//   marvenlot replay <a> <b> <shot record>      replay viewer
//   marvenlot <entry> <login id> <password> [<start flag>]   normal start (sign-in)
//   marvenlot --help | -h                       usage on stdout
// Anything else is a usage error. The words are compared exactly (case matters).

#include <string>
#include <string_view>
#include <vector>

#include "engine/core/Text.h"

enum class StartMode : unsigned { Normal = 0, Offline = 1, Replay = 2 };

enum class StartAction {
    Run,            // start the client in `mode`
    StartLauncher,  // no arguments: hand over to the launcher and end
    ShowHelp,       // print the usage on stdout and end
    UsageError,     // print `error` and the usage on stderr and end
};

struct StartChoice {
    StartAction action = StartAction::Run;
    StartMode mode = StartMode::Normal;
    std::string error;  // UsageError: one line saying what is wrong
};

// Exit codes of the client.
namespace exit_code {
constexpr int kOk = 0;           // ended normally, or handed over (launcher, running client)
constexpr int kStartFailed = 1;  // no display, no launcher, the window, device or packages failed
constexpr int kUsage = 2;        // the command line is wrong
}  // namespace exit_code

// The choice for the process arguments as given (UTF-8). A replay record that does not read as a
// shot record and an argument that is not UTF-8 text are usage errors too.
StartChoice ChooseStartMode(const std::vector<std::string>& argv);

// The arguments as the application reads them: each converted whole, none split, merged or dropped.
std::vector<WString> WideArguments(const std::vector<std::string>& argv);

// The usage text, lines ended by '\n'.
std::string UsageText();

// Argument `index`, or an empty text when the command line is shorter.
WString ArgumentOrEmpty(const std::vector<WString>& args, std::size_t index);
