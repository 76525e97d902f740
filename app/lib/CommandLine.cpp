#include "app/lib/CommandLine.h"

#include "platform/sys/Utf8.h"
#include "table/ShotRecord.h"

namespace {

constexpr std::size_t kReplayRecord = 4;

StartChoice Error(std::string line) {
    StartChoice choice;
    choice.action = StartAction::UsageError;
    choice.error = std::move(line);
    return choice;
}

StartChoice Run(StartMode mode) {
    StartChoice choice;
    choice.mode = mode;
    return choice;
}

}  // namespace

StartChoice ChooseStartMode(const std::vector<std::string>& argv) {
    const std::size_t n = argv.size();
    if (n < 2) {
        StartChoice choice;
        choice.action = StartAction::StartLauncher;
        return choice;
    }
    // An id or password that is not UTF-8 would reach the server as replacement characters.
    for (std::size_t i = 1; i < n; ++i)
        if (!platform::IsValidUtf8(argv[i]))
            return Error("argument " + std::to_string(i) + " is not UTF-8 text");

    const std::string& word = argv[1];
    if (word == "--help" || word == "-h") {
        if (n != 2) return Error("--help takes no further arguments");
        StartChoice choice;
        choice.action = StartAction::ShowHelp;
        return choice;
    }
    if (word == "offline") {
        if (n != 2) return Error("offline takes no further arguments");
        return Run(StartMode::Offline);
    }
    if (word == "replay") {
        if (n != 5) return Error("replay takes three arguments: <a> <b> <shot record>");
        table::ShotRecord record;
        const auto result = record.ParseHex(argv[kReplayRecord]);
        if (result != table::ShotRecord::ParseResult::Ok)
            return Error(std::string("the shot record cannot be read: ") + table::ParseResultText(result));
        // A record that does not fit its table would leave the viewer showing nothing until it is
        // ended, and words no client sends (a power of 100, a tip beyond the ball) strike a shot that
        // never rests.
        if (const WString problem = table::ShotRecordProblem(record); !problem.empty())
            return Error("the shot record cannot be played: " + ToUtf8(problem));
        return Run(StartMode::Replay);
    }
    if (!word.empty() && word[0] == '-') return Error("unknown option \"" + word + "\"");
    if (n == 2) return Error("unknown mode \"" + word + "\"");
    if (n == 3) return Error("a normal start needs a login id and a password");
    if (n > 5) return Error("too many arguments");
    return Run(StartMode::Normal);
}

std::vector<WString> WideArguments(const std::vector<std::string>& argv) {
    std::vector<WString> args;
    args.reserve(argv.size());
    for (const std::string& arg : argv) args.push_back(FromUtf8(arg));
    return args;
}

std::string UsageText() {
    return "Usage: marvenlot offline\n"
           "       marvenlot <entry> <login id> <password> [<start flag>]\n"
           "       marvenlot replay <a> <b> <shot record>\n"
           "       marvenlot --help\n"
           "\n"
           "  offline          play alone on the offline table, without a server\n"
           "  <entry> <login id> <password>\n"
           "                   sign in to the game server with that account; the server is\n"
           "                   MARVENLOT_SERVER=host:port (default 127.0.0.1:24680); <entry> is any\n"
           "                   word but the ones above (a launcher's own); a start flag of 2 is\n"
           "                   handed to the session\n"
           "  replay <a> <b> <shot record>\n"
           "                   play a shot record (the last field of a SHOT journal line) again;\n"
           "                   <a> and <b> are not read\n"
           "\n"
           "Without arguments the launcher (marvenlot-launcher) is started when one is installed.\n"
           "Without a display set MARVENLOT_VIDEO=null to run with no window.\n"
           "Exit status: 0 ended normally, 1 could not start, 2 wrong command line.\n";
}

WString ArgumentOrEmpty(const std::vector<WString>& args, std::size_t index) {
    return index < args.size() ? args[index] : WString();
}
