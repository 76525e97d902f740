#pragma once
// The chat command parser: a chat line that starts with '/' and names a known command is taken as a
// request to the server and never sent as chat. Known commands lift a ban on a player:
// "/unban nickname" (the room ban) and "/unblock nickname" (the chat block).

#include <cstdint>
#include <optional>

#include "engine/core/Text.h"

namespace net {

class Packet;

enum class ChatCommandKind : std::uint8_t { RoomUnban = 24, ChatUnblock = 25 };

struct ChatCommand {
    ChatCommandKind kind = ChatCommandKind::RoomUnban;
    WString nickname;  // empty when the command came without one
};

// The longest nickname a command carries; a longer argument is no nickname.
constexpr std::size_t kCommandNicknameChars = 16;

// The command of a chat line, or nothing when the line is chat (no '/', or an unknown command word).
// The command word is matched without regard to case; the nickname is the rest of the line, trimmed.
std::optional<ChatCommand> ParseChatCommand(WStringView text);
// The ban-cancel request (message 246): u8 kind, string nickname.
void WriteChatCommand(Packet& packet, const ChatCommand& command);

}  // namespace net
