#include "net/ChatCommand.h"

#include "net/Packet.h"

namespace net {

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == 0x3000;
}

char16_t Lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool SameWord(WStringView word, WStringView known) {
    if (word.size() != known.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (Lower(word[i]) != known[i]) return false;
    return true;
}

}  // namespace

std::optional<ChatCommand> ParseChatCommand(WStringView text) {
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) ++at;
    if (at >= text.size() || text[at] != u'/') return std::nullopt;
    const std::size_t wordStart = ++at;
    while (at < text.size() && !IsBlank(text[at])) ++at;
    const WStringView word = text.substr(wordStart, at - wordStart);
    ChatCommand command;
    if (SameWord(word, u"unban"))
        command.kind = ChatCommandKind::RoomUnban;
    else if (SameWord(word, u"unblock"))
        command.kind = ChatCommandKind::ChatUnblock;
    else
        return std::nullopt;
    while (at < text.size() && IsBlank(text[at])) ++at;
    std::size_t end = text.size();
    while (end > at && IsBlank(text[end - 1])) --end;
    const WStringView name = text.substr(at, end - at);
    // Several words or an overlong name are no nickname: the command goes without one.
    bool oneWord = true;
    for (char16_t c : name) oneWord = oneWord && !IsBlank(c);
    if (oneWord && name.size() <= kCommandNicknameChars) command.nickname = WString(name);
    return command;
}

void WriteChatCommand(Packet& packet, const ChatCommand& command) {
    packet.WriteU8(static_cast<std::uint8_t>(command.kind)).WriteString(command.nickname);
}

}  // namespace net
