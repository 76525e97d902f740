#pragma once
// Codes and constants of the widget toolkit: event codes, anchor modes, the common windows'
// button ids and result codes, and the window messages of text composition.

#include <cstdint>

namespace gui {

// Anchor modes of Widget::SetAnchor; the values are those the scenes pass.
enum class AnchorH : int { None = 0, Left = 1, Right = 2, Center = 5 };
enum class AnchorV : int { None = 0, Top = 3, Bottom = 4, Center = 6 };

// The `code` of a command record: an ordinary event (click, choice, position) or a hover report.
enum class CommandCode : std::uint32_t { Event = 0, MouseEnter = 1028, MouseLeave = 1029 };

// Buttons of the common windows. 2050 and 2052 confirm ("Yes" is 2052), 2053 cancels.
namespace button_id {
constexpr std::uint32_t kOk = 2049;
constexpr std::uint32_t kConfirm = 2050;
constexpr std::uint32_t kCancelOk = 2051;
constexpr std::uint32_t kYes = 2052;
constexpr std::uint32_t kNo = 2053;
}  // namespace button_id

// Result codes the common windows post (code, button id, parameter).
namespace result_code {
constexpr std::uint32_t kNoticeDefault = 1024;
constexpr std::uint32_t kReconnectItem = 1030;
constexpr std::uint32_t kBackToLobby = 1071;
constexpr std::uint32_t kMyInfoValue = 1088;
constexpr std::uint32_t kLeaveRoom = 1040;
constexpr std::uint32_t kReportBad = 1051;
constexpr std::uint32_t kWithdraw = 1093;
constexpr std::uint32_t kGameRequest = 1094;
// Codes of the project's own (the files leave these answers open).
constexpr std::uint32_t kGameRequestAnswer = 1106;
constexpr std::uint32_t kInviteAccepted = 1110;
}  // namespace result_code

// The top rows of the client area where a press drags the window itself (its caption strip in a
// window): a dialog placed or dragged by the toolkit stays below them, so its title bar stays its own.
constexpr int kCaptionStripHeight = 25;

// The tooltip singleton's size and the delay before it shows over a hovered widget.
constexpr int kTooltipWidth = 200;
constexpr int kTooltipHeight = 20;

}  // namespace gui
