#pragma once
// The shot gallery web host's two form posts (the shot list and one shot's data) and the parsing of
// their replies: 8-bit text in the "ANSI" code page, a run of fields each ended by "<BR>" (or
// "<br>"). The host is MARVENLOT_GALLERY_HOST (host or host:port); when unset a name that never
// resolves, so nothing is sent anywhere unconfigured.
//
// Every value of a reply is outside input: the parse stops at the end of the text (a missing field
// reads as empty, and no row or reply is made from text that is not there), fields are cut to their
// buffers, numbers saturate at the signed 32-bit range, and game types outside the known ones are
// kept as given for the caller to refuse.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/Text.h"

namespace scenes {

namespace gallery {
inline constexpr const char* kListPath = "/shot/shot_list_T.asp";
inline constexpr const char* kDataPath = "/shot/shot_data_T.asp";
inline constexpr const char* kAgent = "Shot Gallery";
inline constexpr const char* kFormHeader = "Content-type: application/x-www-form-urlencoded\r\n";
inline constexpr const char* kSeparator = "<BR>";
// The most of a reply body that is parsed; the rest is ignored.
inline constexpr std::size_t kMaxReplyBytes = 32767;
// The most of one field that is read; the rest of a longer field is skipped.
inline constexpr std::size_t kMaxFieldBytes = 1503;
// Shot record hex text kept of its field (the field's 1,500 bytes less the terminator).
inline constexpr std::size_t kMaxRecordChars = 1499;
// Field buffers in UTF-16 units, terminator included.
inline constexpr std::size_t kTitleUnits = 100;
inline constexpr std::size_t kNicknameUnits = 14;
inline constexpr std::size_t kDateUnits = 40;
inline constexpr std::size_t kInfoUnits = 80;
inline constexpr std::size_t kReplyNicknameUnits = 13;
inline constexpr std::size_t kReplyTextUnits = 31;
inline constexpr int kListRows = 10;
// Prizes of the first three ranks on the best-shots page.
inline constexpr std::int32_t kPrizes[3] = {50000, 30000, 10000};
inline constexpr std::uint32_t kConnectTimeoutMs = 10000;
inline constexpr std::uint32_t kTotalTimeoutMs = 15000;
// Shown in place of a list or a shot when a fetch failed (no host set, no answer, an error status).
inline constexpr const char16_t* kUnreachableText = u"The shot gallery could not be reached.";
}  // namespace gallery

struct GalleryForm {
    std::string path;
    std::string body;
};

// Page 0 with a year is the best shots of that date ("Page_list=0&getdate=20090305"); any other page
// ignores the date.
GalleryForm ShotListForm(std::int32_t page, std::int32_t year, std::int32_t month, std::int32_t day);
GalleryForm ShotDataForm(std::int32_t shotSeq);

struct ShotListRowData {
    std::int32_t number = 0;  // the shot's sequence number, or its rank on the best-shots page
    std::int32_t shotSeq = 0;
    std::int32_t gameType = 0;
    WString title, nickname, date;
    std::int32_t points = 0;
};

struct ShotList {
    std::int32_t totalPages = 0;
    std::int32_t currentPage = 0;
    std::int32_t rowCount = 0;          // as announced
    std::vector<ShotListRowData> rows;  // at most ten, only those the text holds
};

// One reply left on a shot.
struct ShotReplyEntry {
    WString nickname;  // at most 12 characters
    WString text;      // at most 30 characters
    std::int32_t points = 0;
};

struct ShotData {
    WString owner, title, info;
    std::int32_t points = 0;
    std::string recordHex;                // 8-bit, at most kMaxRecordChars
    std::int32_t replyCount = 0;          // as announced
    std::vector<ShotReplyEntry> replies;  // only those the text holds
};

// Decimal with an optional sign after leading blanks; other text reads 0; saturates at the i32 range.
std::int32_t ReadGalleryNumber(std::string_view text);

// The next field of `cursor`, cut at kMaxFieldBytes; empty at the end of the text.
std::string NextGalleryField(std::string_view& cursor);

// `bestShots`: the page asked for was 0 (rows are numbered by rank).
ShotList ParseShotList(std::string_view body, bool bestShots);
ShotData ParseShotData(std::string_view body);

std::string GalleryHost();

// Posts one form to the gallery host and waits (bounded by the timeouts) for the reply. False when
// nothing came back, the status is not 2xx, or the body is empty; on success `body` holds at most
// kMaxReplyBytes of it.
class GalleryClient {
public:
    GalleryClient() : host_(GalleryHost()) {}
    explicit GalleryClient(std::string host) : host_(std::move(host)) {}

    void SetTimeouts(std::uint32_t connectMs, std::uint32_t totalMs) {
        connectMs_ = connectMs;
        totalMs_ = totalMs;
    }
    const std::string& Host() const { return host_; }

    bool Post(const GalleryForm& form, std::string& body) const;
    bool FetchShotList(std::int32_t page, std::int32_t year, std::int32_t month, std::int32_t day,
                       ShotList& list) const;
    bool FetchShotData(std::int32_t shotSeq, ShotData& data) const;

private:
    std::string host_;
    std::uint32_t connectMs_ = gallery::kConnectTimeoutMs;
    std::uint32_t totalMs_ = gallery::kTotalTimeoutMs;
};

}  // namespace scenes
