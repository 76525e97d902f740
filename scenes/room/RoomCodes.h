#pragma once
// Codes of the game room: the room messages by id, the application messages the room handles, the
// control ids of its widgets, its colours, sounds and timings.

#include <cstdint>

namespace scenes::room {

// Room messages (-> server to client, <- client to server).
enum class RoomMsg : std::uint16_t {
    ProfileReply = 211,        // ->
    ClanChanged = 239,         // ->
    Notice = 240,              // ->
    ChatBanned = 245,          // ->
    ChatBlockedBy = 247,       // ->
    ChatBannedHour = 248,      // ->
    ChatBannedName = 249,      // ->
    GalleryRegistered = 254,   // ->
    Reported = 259,            // ->
    RaceTournament = 270,      // ->
    PlayerBack = 274,          // ->
    Report = 258,              // <-
    ReportTarget = 244,        // <-
    RoomState = 2001,          // ->
    RoomOptions = 2004,        // ->
    ChatSend = 2005,           // <-
    ChatLine = 2006,           // ->
    EnterDone = 2007,          // <-
    ToLobby = 2008,            // <-
    LeaveAnswer = 2009,        // ->
    RoomClosed = 2010,         // ->
    MemberList = 2011,         // ->
    PlayChoice = 2012,         // <-
    Playing = 2013,            // ->
    PlayerEntered = 2014,      // ->
    PlayerLeft = 2015,         // ->
    NewMaster = 2016,          // ->
    JoinAnswer = 2019,         // <-
    SeatStatus = 2023,         // ->
    Ready = 2026,              // <-
    ReadyChanged = 2027,       // ->
    Start = 2028,              // <-
    GameStart = 2029,          // ->
    TeamLineup = 2030,         // ->
    GameEnd = 2031,            // ->
    GameRequest = 2032,        // <-
    RequestAnswer = 2035,      // ->
    ExitRefused = 2036,        // ->
    RequestReply = 2037,       // <-
    WithdrawnLost = 2038,      // ->
    GameResults = 2046,        // ->
    RankResult = 2047,         // ->
    TableStateRequest = 2049,  // ->
    TableState = 2050,         // <-
    NewTurn = 2051,            // ->
    Shot = 2052,               // <- ->
    ShotResult = 2053,         // <-
    TurnResult = 2056,         // ->
    BreakFoul = 2057,          // ->
    Aim = 2058,                // <- ->
    ByteValue2060 = 2060,      // <-
    CalledPocket = 2061,       // ->
    TurnTimeOver = 2062,       // <-
    BallPlacement = 2063,      // <-
    PlacedBall = 2064,         // ->
    GuideRefresh = 2066,       // ->
    MarkedNumbers = 2075,      // ->
    PlayerDropped = 2079,      // ->
    LinePoint = 2083,          // ->
    TimeLimit = 2084,          // <-
    Groups = 2087,             // ->
    EightBallShot = 2088,      // ->
    // Bans, the opponent's requests and their answers, the withdraw offer, the invite list.
    BanCancel = 246,          // <- u8 kind, str nickname; -> u8 kind, u8 result, str
    Message2002 = 2002,       // ->
    BannedFromRoom = 2018,    // ->
    OpponentRequest = 2033,   // ->
    RequestAnswerOut = 2034,  // <- u8 accepted, u8 kind
    WithdrawOffer = 2039,     // ->
    InviteList = 2043,        // ->
    CueWear = 546,            // <- u32 item id, u64 serial, u32 durability
    SeatMoney = 2073,         // ->
    Value2076 = 2076,         // <- u16
    RoomOptionsOut = 2003,    // <- the room options dialog's values
};

// Joining, seats and bets; item, money and announcement messages.
namespace join_msg {
constexpr RoomMsg kPlayerJoinedGame = static_cast<RoomMsg>(2020);  // ->
constexpr RoomMsg kAllIn = static_cast<RoomMsg>(2048);             // ->
constexpr RoomMsg kPurchaseResult = static_cast<RoomMsg>(510);     // ->
constexpr RoomMsg kItemUseResult = static_cast<RoomMsg>(513);      // ->
constexpr RoomMsg kCueChosen = static_cast<RoomMsg>(544);          // <-
constexpr RoomMsg kCueChanged = static_cast<RoomMsg>(545);         // ->
constexpr RoomMsg kItemValues = static_cast<RoomMsg>(547);         // ->
constexpr RoomMsg kItemCount = static_cast<RoomMsg>(2045);         // ->
constexpr RoomMsg kPointsUpdate = static_cast<RoomMsg>(2055);      // ->
constexpr RoomMsg kHighRun = static_cast<RoomMsg>(2067);           // ->
constexpr RoomMsg kHandicapChange = static_cast<RoomMsg>(2068);    // ->
constexpr RoomMsg kLevelUp = static_cast<RoomMsg>(2069);           // ->
constexpr RoomMsg kOwnStats = static_cast<RoomMsg>(2070);          // ->
constexpr RoomMsg kOwnCounter = static_cast<RoomMsg>(2071);        // ->
constexpr RoomMsg kPointTrack = static_cast<RoomMsg>(2078);        // ->
constexpr RoomMsg kJackpot = static_cast<RoomMsg>(2085);           // ->
constexpr RoomMsg kJackpotBroadcast = static_cast<RoomMsg>(2086);  // ->

constexpr std::uint32_t kInviteControl = 16;  // the invite list

constexpr std::uint32_t kFriendBarControl = 15;     // the bar telling of a friend request
constexpr std::uint32_t kShopTabControl = 18;       // slides the items on sale in or out
constexpr std::uint32_t kCueTabControl = 19;        // slides the own cues in or out
constexpr std::uint32_t kFriendRequestCode = 1063;  // application message: a friend request came

constexpr std::uint16_t kLaserGuideItem = 4150;
constexpr std::uint16_t kDefaultCueItem = 3000;
constexpr std::int64_t kItemValueCap = 1000000;
constexpr int kAllInSound = 43;
constexpr int kPointTrackMarkSound = 42;
constexpr int kPointTrackSound = 40;
constexpr int kJackpotSound = 41;
constexpr std::uint8_t kWithdrawalsShown = 10;
constexpr std::uint16_t kTargetLineLevel = 10;
}  // namespace join_msg

constexpr std::uint16_t Id(RoomMsg m) {
    return static_cast<std::uint16_t>(m);
}

// Application messages the room handles (posted by the world, its widgets and the HUD).
namespace app_code {
constexpr std::uint32_t kLeave = 1040;
constexpr std::uint32_t kGameRequest = 1044;
constexpr std::uint32_t kShortcut = 1045;
constexpr std::uint32_t kReportOpen = 1049;
constexpr std::uint32_t kReportPlayer = 1050;
constexpr std::uint32_t kReportSend = 1051;
constexpr std::uint32_t kReleaseKeys = 1059;
constexpr std::uint32_t kHelp = 1046;
constexpr std::uint32_t kRefreshItems = 1069;
constexpr std::uint32_t kBackToLobby = 1071;
constexpr std::uint32_t kEnteringTime = 1072;
constexpr std::uint32_t kSeatChoice = 1090;
constexpr std::uint32_t kReadyPressed = 1091;
constexpr std::uint32_t kStartPressed = 1092;
constexpr std::uint32_t kRequestReply = 1093;
constexpr std::uint32_t kRequestConfirmed = 1094;
constexpr std::uint32_t kRequestDeclined = 1097;
constexpr std::uint32_t kCueStruck = 1111;
constexpr std::uint32_t kShotAtRest = 1112;
constexpr std::uint32_t kSend2060 = 1113;
constexpr std::uint32_t kSendPlacement = 1114;
// The room screen's popups.
constexpr std::uint32_t kJoinAnswer = 1065;
constexpr std::uint32_t kWithdrawMenu = 1042;
constexpr std::uint32_t kWithdrawOpen = 1043;
constexpr std::uint32_t kMyInfo = 1047;
constexpr std::uint32_t kOptions = 1048;
constexpr std::uint32_t kControlOptions = 1058;
constexpr std::uint32_t kSend2076 = 1089;
constexpr std::uint32_t kJoinGold = 1105;
constexpr std::uint32_t kSendRoomOptions = 1052;
constexpr std::uint32_t kChalkApplied = 1083;
constexpr std::uint32_t kChalkRefresh = 1085;
constexpr std::uint32_t kOpponentRequestAnswer = 1106;
}  // namespace app_code

// Control ids of the room's own widgets.
namespace control {
constexpr std::uint32_t kToLobby = 1;
constexpr std::uint32_t kSettings = 2;
constexpr std::uint32_t kHelp = 3;
constexpr std::uint32_t kJoin = 13;
constexpr std::uint32_t kChatEdit = 50;
// The room screen.
constexpr std::uint32_t kMyInfo = 4;
constexpr std::uint32_t kMessenger = 5;
constexpr std::uint32_t kRoomSetting = 6;
constexpr std::uint32_t kMuteChat = 9;
constexpr std::uint32_t kChatScroll = 100;
constexpr std::uint32_t kRoomNumber = 200;
constexpr std::uint32_t kGameKind = 201;
constexpr std::uint32_t kRoomTitle = 202;
constexpr std::uint32_t kPlayerCount = 203;
constexpr std::uint32_t kLockIcon = 204;
constexpr std::uint32_t kMoneyLabel = 205;
constexpr std::uint32_t kHandicapRange = 206;
constexpr std::uint32_t kHalfGame = 207;
constexpr std::uint32_t kStartPrompt = 208;
constexpr std::uint32_t kReadyPrompt = 209;
constexpr std::uint32_t kCentreAmount = 210;
}  // namespace control

namespace colour {
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kYellow = 0xFFFFFF00;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kMagenta = 0xFFFF00FF;
constexpr std::uint32_t kLavender = 0xFFB0B0FF;
constexpr std::uint32_t kGrey = 0xFFB0B0B0;
constexpr std::uint32_t kPoints = 0xFF00AEFF;
}  // namespace colour

namespace sound {
constexpr int kChalk = 6;
constexpr int kPocketCall = 17;
constexpr int kChatLine = 19;
constexpr int kResult = 20;
constexpr int kGameResults = 21;
constexpr int kGameEnd = 23;
constexpr int kGameStart = 24;
constexpr int kOwnTurn = 26;
constexpr int kRack = 27;
constexpr int kPlayerEntered = 33;
constexpr int kCentreAmount = 34;
constexpr int kAfterResults = 56;
constexpr int kStartVoice = 57;  // or 58
constexpr int kEightBallShot = 81;
constexpr int kFirstWarning = 95;  // 95, 96 or 97
constexpr int kTenPoints = 77;
constexpr int kTwentyPoints = 78;
constexpr int kThreeCushionFinish = 79;
constexpr int kBankShotFinish = 81;
}  // namespace sound

// Seats and limits.
constexpr int kSeats = 8;
constexpr int kNoSeat = -1;
constexpr std::size_t kMaxChatLines = 200;
constexpr std::size_t kChatLineChars = 79;
constexpr std::size_t kOverlayLines = 8;
constexpr std::size_t kReportHistory = 20;
constexpr std::size_t kChatSendTimes = 10;
constexpr std::size_t kReportChars = 500;
constexpr std::uint8_t kListEnd = 0xFF;

// Timings (ms unless named otherwise).
constexpr std::uint32_t kAimIntervalMs = 1000;
constexpr int kDefaultTurnLimitSeconds = 40;
constexpr int kWarningFromEnd = 10;
constexpr int kWarningUntilEnd = 3;
constexpr int kDefaultShotBeforeEnd = 5;
constexpr std::uint64_t kTournamentLimitMs = 900000;
constexpr std::uint16_t kTournamentChannel = 8;
constexpr std::uint32_t kTimeOfDaySeconds = 36000;
constexpr std::int16_t kTimeOutCode = -3;
constexpr std::uint64_t kCentreAmountMs = 2000;
constexpr std::uint32_t kKeyGuideSignIns = 300;
constexpr std::uint64_t kOneHourMs = 3600000;
constexpr std::uint32_t kBobTicks = 4;
constexpr std::uint64_t kBobPeriodMs = 800;

// Camera moves: onto the table at a game start and behind the cue ball at each turn; back to the table
// after a game (distance, pitch).
constexpr float kCameraSecondsTurn = 0.5f;
constexpr float kCameraSecondsEnd = 2.0f;
constexpr float kEndDistance = 350.0f;
constexpr float kEndPitch = 30.0f;

// Item use from the room, the counted items a shot uses, the camera at a game start.
namespace item_use {
constexpr std::uint32_t kConfirmed = 1087;  // a = the button (2052 yes), b = 1: the cue panel's choice
constexpr int kFromItemStrip = 0;
constexpr int kFromCuePanel = 1;
constexpr std::uint32_t kAllConsumedColour = 0xFFFF8080;
}  // namespace item_use

// The info panel at the right of the room (it holds the key guide).
namespace info_panel {
constexpr std::uint32_t kControl = 220;
}  // namespace info_panel

// The own first turn of these game types faces this heading (degrees).
constexpr float kStartHeadingDegrees = 150.0f;
constexpr bool StartsFacingHeading(std::int32_t gameType) {
    return gameType == 3 || gameType == 5;
}

}  // namespace scenes::room
