// The command line: the process arguments checked and the start mode chosen from them. Every
// argument reaches the application unchanged, and a mode is only chosen for its own form.
//
// Input: the arguments after the program path, each ended by a zero byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/lib/CommandLine.h"
#include "engine/core/Text.h"
#include "table/ShotRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> argv{"marvenlot"};
    std::string arg;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            argv.push_back(arg);
            arg.clear();
        } else {
            arg.push_back(static_cast<char>(data[i]));
        }
    }
    if (!arg.empty()) argv.push_back(arg);

    const StartChoice choice = ChooseStartMode(argv);
    const std::size_t n = argv.size();
    if ((choice.action == StartAction::StartLauncher) != (n < 2)) std::abort();
    if ((choice.action == StartAction::UsageError) == choice.error.empty()) std::abort();
    if (choice.action == StartAction::Run) {
        const std::vector<WString> args = WideArguments(argv);
        if (args.size() != n) std::abort();
        for (std::size_t i = 0; i < n; ++i)
            if (ToUtf8(args[i]) != argv[i]) std::abort();  // checked UTF-8 survives the conversion
        switch (choice.mode) {
            case StartMode::Offline:
                if (n != 2 || argv[1] != "offline") std::abort();
                break;
            case StartMode::Replay: {
                table::ShotRecord record;
                if (n != 5 || argv[1] != "replay" ||
                    record.ParseHex(argv[4]) != table::ShotRecord::ParseResult::Ok ||
                    !table::ShotWordsProblem(record.Words()).empty())
                    std::abort();
                break;
            }
            case StartMode::Normal:
                if (n < 4 || n > 5 || argv[1] == "offline" || argv[1] == "replay" || argv[1][0] == '-')
                    std::abort();
                break;
        }
    }
    return 0;
}
