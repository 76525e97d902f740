// The command line the launcher passes: split into arguments and the start mode chosen from them.
// Joining the arguments as the launcher does and splitting again gives them back, and the mode
// follows the argument count and word.
//
// Input: the command line as UTF-16 (pairs of bytes, little-endian).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/lib/CommandLine.h"
#include "engine/core/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WString line;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        line.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));

    std::vector<WString> args;
    SplitCommandLine(line, args);
    // Arguments that survive the join: text that UTF-8 carries, not empty and not in single quotes
    // (the split would take those off).
    std::vector<std::string> joinable;
    std::vector<WString> expected;
    for (const WString& arg : args) {
        const bool singleQuoted = arg.size() >= 2 && arg.front() == u'\'' && arg.back() == u'\'';
        if (arg.empty() || singleQuoted || FromUtf8(ToUtf8(arg)) != arg) continue;
        joinable.push_back(ToUtf8(arg));
        expected.push_back(arg);
    }
    std::vector<WString> again;
    SplitCommandLine(JoinArguments(joinable), again);
    if (again != expected) std::abort();

    const StartChoice choice = ChooseStartMode(args);
    if (choice.startLauncher != (args.size() < 2)) std::abort();
    if (choice.mode == StartMode::Offline && (args.size() != 2 || args[1] != u"offline")) std::abort();
    if (choice.mode == StartMode::Replay && (args.size() != 5 || args[1] != u"replay")) std::abort();
    for (std::size_t i = 0; i < 6; ++i)
        if (ArgumentOrEmpty(args, i) != (i < args.size() ? args[i] : WString())) std::abort();
    return 0;
}
