#include "scenes/room/gallery/GalleryService.h"

#include <cstdio>
#include <limits>

#include "engine/core/HttpClient.h"
#include "engine/core/Log.h"
#include "platform/sys/Env.h"

namespace scenes {

namespace {

// Converts an 8-bit field into a buffer of `units` UTF-16 units (terminator included), cut to fit.
WString Field(std::string_view text, std::size_t units) {
    std::vector<char16_t> buffer(units, u'\0');
    const std::size_t written = MultiToWide(text, buffer.data(), units);
    return WString(buffer.data(), written);
}

std::int32_t NumberField(std::string_view& cursor) {
    return ReadGalleryNumber(NextGalleryField(cursor));
}

}  // namespace

GalleryForm ShotListForm(std::int32_t page, std::int32_t year, std::int32_t month, std::int32_t day) {
    char body[512] = {};
    if (page == 0 && year != 0)
        std::snprintf(body, sizeof body, "Page_list=%d&getdate=%02d%02d%02d", page, year, month, day);
    else
        std::snprintf(body, sizeof body, "Page_list=%d", page);
    return {gallery::kListPath, body};
}

GalleryForm ShotDataForm(std::int32_t shotSeq) {
    char body[512] = {};
    std::snprintf(body, sizeof body, "shot_seq=%d", shotSeq);
    return {gallery::kDataPath, body};
}

std::int32_t ReadGalleryNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit) value = kLimit;
    }
    if (negative) return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, kLimit - 1));
}

std::string NextGalleryField(std::string_view& cursor) {
    std::string field = NextToken(cursor, gallery::kSeparator);
    if (field.size() > gallery::kMaxFieldBytes) field.resize(gallery::kMaxFieldBytes);
    return field;
}

ShotList ParseShotList(std::string_view body, bool bestShots) {
    ShotList list;
    list.totalPages = NumberField(body);
    list.currentPage = NumberField(body);
    list.rowCount = NumberField(body);
    for (int row = 0; row < list.rowCount && row < gallery::kListRows && !body.empty(); ++row) {
        ShotListRowData data;
        data.shotSeq = NumberField(body);
        data.number = bestShots ? row + 1 : data.shotSeq;
        data.title = Field(NextGalleryField(body), gallery::kTitleUnits);
        data.nickname = Field(NextGalleryField(body), gallery::kNicknameUnits);
        data.gameType = NumberField(body);
        data.date = Field(NextGalleryField(body), gallery::kDateUnits);
        NextGalleryField(body);
        data.points = NumberField(body);
        list.rows.push_back(std::move(data));
    }
    return list;
}

ShotData ParseShotData(std::string_view body) {
    ShotData data;
    NextGalleryField(body);
    data.owner = Field(NextGalleryField(body), gallery::kNicknameUnits);
    data.title = Field(NextGalleryField(body), gallery::kTitleUnits);
    data.info = Field(NextGalleryField(body), gallery::kInfoUnits);
    data.points = NumberField(body);
    data.recordHex = NextGalleryField(body);
    if (data.recordHex.size() > gallery::kMaxRecordChars) data.recordHex.resize(gallery::kMaxRecordChars);
    data.replyCount = NumberField(body);
    for (std::int32_t i = 0; i < data.replyCount && !body.empty(); ++i) {
        ShotReplyEntry entry;
        entry.nickname = Field(NextGalleryField(body), gallery::kReplyNicknameUnits);
        entry.points = NumberField(body);
        entry.text = Field(NextGalleryField(body), gallery::kReplyTextUnits);
        data.replies.push_back(std::move(entry));
    }
    return data;
}

std::string GalleryHost() {
    const std::string host = platform::GetEnv("MARVENLOT_GALLERY_HOST");
    return host.empty() ? "gallery.marvenlot.invalid" : host;
}

bool GalleryClient::Post(const GalleryForm& form, std::string& body) const {
    body.clear();
    HttpSession session;
    if (!session.Open(FromUtf8(gallery::kAgent))) return false;
    HttpConnection connection;
    if (!connection.Open(session, FromUtf8(host_), static_cast<int>(InternetProtocol::Http))) return false;
    HttpRequest request;
    if (!request.Open(connection, u"POST", FromUtf8(form.path), u"HTTP/1.0")) return false;
    request.SetTimeouts(connectMs_, totalMs_);
    request.AddHeaders(FromUtf8(gallery::kFormHeader));
    if (!request.Send(form.body.data(), form.body.size())) {
        LogWrite(u"ERROR : shot gallery request %s failed: %s\n", FromUtf8(form.path),
                 FromUtf8(request.LastError()));
        return false;
    }
    const int status = request.StatusCode();
    if (status < 200 || status > 299) {
        LogWrite(u"ERROR : shot gallery request %s answered status %d\n", FromUtf8(form.path), status);
        return false;
    }
    const std::string& reply = request.ResponseBody();
    if (reply.empty()) return false;
    body.assign(reply, 0, std::min(reply.size(), gallery::kMaxReplyBytes));
    return true;
}

bool GalleryClient::FetchShotList(std::int32_t page, std::int32_t year, std::int32_t month, std::int32_t day,
                                  ShotList& list) const {
    std::string body;
    if (!Post(ShotListForm(page, year, month, day), body)) return false;
    list = ParseShotList(body, page == 0);
    return true;
}

bool GalleryClient::FetchShotData(std::int32_t shotSeq, ShotData& data) const {
    std::string body;
    if (!Post(ShotDataForm(shotSeq), body)) return false;
    data = ParseShotData(body);
    return true;
}

}  // namespace scenes
