#pragma once
// Control ids, application messages and game-server messages of the shot gallery scene.

#include <cstdint>

namespace scenes::gallery {

// Application messages.
constexpr std::uint32_t kOpenShotMessage = 1095;  // a = shot sequence number
constexpr std::uint32_t kPlayShotMessage = 1096;  // the shot window's data arrived
constexpr std::uint32_t kToLobbyMessage = 1071;
constexpr std::uint32_t kOptionsChangedMessage = 1058;
// The vote reply, carried from the dispatch thread to the main thread (a = result).
constexpr std::uint32_t kVoteReplyMessage = 1097;

// Game-server messages.
constexpr std::uint16_t kUserInfoPacket = 211;
constexpr std::uint16_t kServerChatPacket = 240;
constexpr std::uint16_t kReplyPacket = 255;
constexpr std::uint16_t kVoteReplyPacket = 256;
constexpr std::uint16_t kLeaveGalleryPacket = 1140;
constexpr std::uint16_t kGalleryRoomWord = 0xFFFC;

// Scene buttons.
constexpr std::uint32_t kToLobbyId = 1;
constexpr std::uint32_t kSettingsId = 2;
constexpr std::uint32_t kHelpId = 3;
constexpr std::uint32_t kMyInfoId = 4;
constexpr std::uint32_t kMessengerId = 5;

// List window.
constexpr std::uint32_t kBlockForward100 = 295;
constexpr std::uint32_t kBlockForward10 = 296;
constexpr std::uint32_t kBlockBack10 = 297;
constexpr std::uint32_t kBlockBack100 = 298;
constexpr std::uint32_t kBestShotsId = 299;
constexpr std::uint32_t kFirstPageButton = 900;
constexpr std::uint32_t kFirstRow = 1000;
constexpr std::uint32_t kYearList = 310;
constexpr std::uint32_t kMonthList = 311;
constexpr std::uint32_t kDayList = 312;

// Shot window and reply dialog.
constexpr std::uint32_t kRecommendId = 10;
constexpr std::uint32_t kReplyScrollId = 15;
constexpr std::uint32_t kPlayShotId = 77;
constexpr std::uint32_t kViewListId = 99;
constexpr std::uint32_t kReplySendId = 40;
constexpr std::uint32_t kReplyCancelId = 1;
constexpr std::uint32_t kReplyPointsList = 41;
constexpr std::uint32_t kReplyTextId = 42;

constexpr std::uint32_t kRed = 0xFFFF0000;

}  // namespace scenes::gallery
