#include "app/lib/CommandLine.h"

void SplitCommandLine(WStringView text, std::vector<WString>& out) {
    WString token;
    bool quoted = false;
    const std::size_t first = out.size();
    for (char16_t c : text) {
        if (c == u' ' && !quoted) {
            if (!token.empty()) out.push_back(token);
            token.clear();
        } else if (c == u'"') {
            quoted = !quoted;
        } else {
            token.push_back(c);
        }
    }
    if (!token.empty()) out.push_back(token);
    for (std::size_t i = first; i < out.size(); ++i) {
        WString& arg = out[i];
        if (arg.size() >= 2 && arg.front() == u'\'' && arg.back() == u'\'')
            arg = arg.substr(1, arg.size() - 2);
    }
}

WString JoinArguments(const std::vector<std::string>& args) {
    WString line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i > 0) line.push_back(u' ');
        const WString arg = FromUtf8(args[i]);
        if (arg.empty() || arg.find(u' ') != WString::npos) {
            line += u'"' + arg + u'"';
        } else {
            line += arg;
        }
    }
    return line;
}

StartChoice ChooseStartMode(const std::vector<WString>& args) {
    const std::size_t n = args.size();
    StartChoice choice;
    if (n == 2 && args[1] == u"offline") {
        choice.mode = StartMode::Offline;
    } else if (n == 5 && args[1] == u"replay") {
        choice.mode = StartMode::Replay;
    } else if (n < 2) {
        choice.startLauncher = true;
    }
    return choice;
}

WString ArgumentOrEmpty(const std::vector<WString>& args, std::size_t index) {
    return index < args.size() ? args[index] : WString();
}
