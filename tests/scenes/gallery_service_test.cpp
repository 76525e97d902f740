// The shot gallery's two form posts against the loopback stand-in: the exact requests, the reply
// fields, and replies that are truncated, oversized, hostile or not replies at all.
#include <gtest/gtest.h>

#include <limits>

#include "scenes/room/gallery/GalleryService.h"
#include "tests/e2e/gallery/GalleryTestServer.h"

using namespace scenes;
using gallery_test::Answer;
using gallery_test::Fields;
using gallery_test::GalleryTestServer;

namespace {

Answer Reply(std::string body, int status = 200) {
    return {Answer::Kind::Reply, status, std::move(body), true};
}

GalleryClient ClientOf(const GalleryTestServer& server) {
    GalleryClient client(server.HostSetting());
    client.SetTimeouts(2000, 3000);
    return client;
}

std::vector<std::string> Row(int seq, const std::string& title, const std::string& nick, int type,
                             const std::string& date, int points) {
    return {std::to_string(seq), title, nick, std::to_string(type), date, "x", std::to_string(points)};
}

std::string ListBody(int pages, int page, int announced, int rows) {
    std::vector<std::string> fields{std::to_string(pages), std::to_string(page), std::to_string(announced)};
    for (int i = 0; i < rows; ++i)
        for (const std::string& f : Row(5001 + i, "Shot " + std::to_string(i), "p" + std::to_string(i),
                                        i % 17, "2009-3-" + std::to_string(i + 1), 100 - i))
            fields.push_back(f);
    return Fields(fields);
}

}  // namespace

TEST(GalleryService, PostsExactPathFormBodyHeaderAgentAndVersion) {
    GalleryTestServer server([](const gallery_test::Request&) { return Reply(Fields({"1", "1", "0"})); });
    ASSERT_TRUE(server.Started());
    const GalleryClient client = ClientOf(server);
    struct Case {
        int page, year, month, day;
        const char* body;
    } cases[] = {
        {0, 0, 3, 5, "Page_list=0"},
        {0, 2009, 3, 5, "Page_list=0&getdate=20090305"},
        {7, 2009, 3, 5, "Page_list=7"},
    };
    ShotList list;
    for (const Case& c : cases) ASSERT_TRUE(client.FetchShotList(c.page, c.year, c.month, c.day, list));
    ShotData data;
    ASSERT_TRUE(client.FetchShotData(5001, data));

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 4u);
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const auto& r = requests[i];
        const bool isData = i == 3;
        EXPECT_EQ(r.RequestLine(), std::string("POST ") +
                                       (isData ? "/shot/shot_data_T.asp" : "/shot/shot_list_T.asp") +
                                       " HTTP/1.0");
        EXPECT_EQ(r.body, isData ? "shot_seq=5001" : cases[i].body);
        EXPECT_NE(r.head.find("\r\nContent-type: application/x-www-form-urlencoded\r\n"), std::string::npos)
            << "the form header exactly as written";
        EXPECT_EQ(r.Header("User-Agent"), "Shot Gallery");
        EXPECT_EQ(r.Header("Content-Length"), std::to_string(r.body.size()));
        EXPECT_EQ(r.Header("Cookie"), "<absent>");
        EXPECT_EQ(r.Header("Authorization"), "<absent>");
    }
}

TEST(GalleryService, ListRowsAreCappedAtTenRankedOnTheBestPageAndNumberedBySeqElsewhere) {
    struct Case {
        int page, announced, present;
        std::size_t rows;
    } cases[] = {{0, 0, 0, 0}, {0, 15, 15, 10}, {0, 4, 4, 4}, {3, 2, 2, 2}, {0, -5, 2, 0}};
    for (const Case& c : cases) {
        const ShotList list = ParseShotList(ListBody(37, c.page, c.announced, c.present), c.page == 0);
        EXPECT_EQ(list.totalPages, 37);
        EXPECT_EQ(list.currentPage, c.page);
        ASSERT_EQ(list.rows.size(), c.rows) << "announced " << c.announced;
        for (std::size_t i = 0; i < list.rows.size(); ++i) {
            EXPECT_EQ(list.rows[i].shotSeq, 5001 + static_cast<int>(i));
            EXPECT_EQ(list.rows[i].number,
                      c.page == 0 ? static_cast<int>(i) + 1 : 5001 + static_cast<int>(i));
        }
    }
    const ShotList list = ParseShotList(ListBody(1, 0, 1, 1), true);
    EXPECT_EQ(list.rows[0].title, u"Shot 0");
    EXPECT_EQ(list.rows[0].nickname, u"p0");
    EXPECT_EQ(list.rows[0].date, u"2009-3-1");
    EXPECT_EQ(list.rows[0].points, 100);
}

TEST(GalleryService, OnlyUpperOrLowerCaseSeparatorsSplitFields) {
    const ShotList lower =
        ParseShotList("1<br>0<br>1<br>7<br>A<Br>B<bR>C<br>al<br>3<br>2009-3-5<br>x<br>9<br>", true);
    ASSERT_EQ(lower.rows.size(), 1u);
    EXPECT_EQ(lower.rows[0].shotSeq, 7);
    EXPECT_EQ(lower.rows[0].title, u"A<Br>B<bR>C") << "mixed case stays text";
    EXPECT_EQ(lower.rows[0].nickname, u"al");
    EXPECT_EQ(lower.rows[0].points, 9);
}

TEST(GalleryService, DataReplyFillsFieldsAndCutsOverlongOnesToTheirBuffers) {
    const std::string longNick(30, 'n'), longTitle(200, 't'), longText(60, 'r'), longInfo(120, 'i');
    const std::string record(1600, 'A');
    const ShotData data = ParseShotData(Fields({"0", longNick, longTitle, longInfo, "120", record, "2",
                                                longNick, "10", longText, "bob", "5", "wow"}));
    EXPECT_EQ(data.owner, WString(13, u'n'));
    EXPECT_EQ(data.title, WString(99, u't'));
    EXPECT_EQ(data.info, WString(79, u'i'));
    EXPECT_EQ(data.points, 120);
    EXPECT_EQ(data.recordHex.size(), 1499u);
    ASSERT_EQ(data.replies.size(), 2u);
    EXPECT_EQ(data.replies[0].nickname, WString(12, u'n'));
    EXPECT_EQ(data.replies[0].text, WString(30, u'r'));
    EXPECT_EQ(data.replies[1].nickname, u"bob");
    EXPECT_EQ(data.replies[1].points, 5);
    EXPECT_EQ(data.replies[1].text, u"wow");
}

TEST(GalleryService, TruncatedAndHostileRepliesStopAtTheEndOfTheText) {
    // A count of two billion with one reply present, and a last field without its separator.
    const ShotData hostile =
        ParseShotData(Fields({"0", "al", "T", "I", "9", "AB", "2000000000", "bob", "3", "hi"}));
    EXPECT_EQ(hostile.replyCount, 2000000000);
    ASSERT_EQ(hostile.replies.size(), 1u);
    const ShotData cut = ParseShotData("0<BR>al<BR>Title<BR>In");
    EXPECT_EQ(cut.info, u"In");
    EXPECT_EQ(cut.points, 0);
    EXPECT_TRUE(cut.recordHex.empty());
    EXPECT_TRUE(cut.replies.empty());
    const ShotList partRow = ParseShotList("3<BR>1<BR>10<BR>5001<BR>Bank", false);
    ASSERT_EQ(partRow.rows.size(), 1u) << "a row whose text begins is made, the rest empty";
    EXPECT_EQ(partRow.rows[0].title, u"Bank");
    EXPECT_TRUE(partRow.rows[0].nickname.empty());
    EXPECT_TRUE(ParseShotList("", true).rows.empty());
    // A field longer than the work buffer is cut, and the next field still starts after its separator.
    const std::string text = std::string(2000, 'w') + "<BR>next<BR>";
    std::string_view cursor = text;
    EXPECT_EQ(NextGalleryField(cursor).size(), gallery::kMaxFieldBytes);
    EXPECT_EQ(NextGalleryField(cursor), "next");
}

TEST(GalleryService, NumbersSaturateAndNonNumbersReadZero) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {{"42", 42},
                 {"  -17abc", -17},
                 {"+8", 8},
                 {"abc", 0},
                 {"", 0},
                 {"2147483647", std::numeric_limits<std::int32_t>::max()},
                 {"99999999999999999999999", std::numeric_limits<std::int32_t>::max()},
                 {"-2147483648", std::numeric_limits<std::int32_t>::min()},
                 {"-99999999999999999999999", std::numeric_limits<std::int32_t>::min()}};
    for (const auto& c : cases) EXPECT_EQ(ReadGalleryNumber(c.text), c.value) << c.text;
}

TEST(GalleryService, FailedExchangesAndErrorStatusesAreFailedFetches) {
    const struct {
        const char* what;
        Answer answer;
    } cases[] = {
        {"closes without answering", {Answer::Kind::CloseWithoutAnswer, 200, "", true}},
        {"empty body", Reply("")},
        {"404 page", Reply("<html>Not Found<BR></html>", 404)},
        {"500 page", Reply("1<BR>1<BR>1<BR>", 500)},
        {"silent host", {Answer::Kind::Stall, 200, "", true}},
    };
    for (const auto& c : cases) {
        GalleryTestServer server([&c](const gallery_test::Request&) { return c.answer; });
        GalleryClient client(server.HostSetting());
        client.SetTimeouts(300, 600);
        ShotList list;
        list.totalPages = -1;
        EXPECT_FALSE(client.FetchShotList(1, 0, 0, 0, list)) << c.what;
        EXPECT_EQ(list.totalPages, -1) << c.what << ": nothing parsed";
    }
    GalleryClient nobody("127.0.0.1:1");
    ShotData data;
    EXPECT_FALSE(nobody.FetchShotData(1, data)) << "connection refused";
}

TEST(GalleryService, OnlyTheFirst32767BytesOfABodyAreParsedAndABodyWithoutLengthReadsToClose) {
    // The third header field starts on the last byte inside the cap: only its first digit counts.
    std::string body = "1<BR>";
    body += std::string(gallery::kMaxReplyBytes - body.size() - 5, 'z') + "<BR>99<BR>";
    body += std::string(5000, 'z');
    GalleryTestServer server([&body](const gallery_test::Request&) { return Reply(body); });
    ShotList list;
    ASSERT_TRUE(ClientOf(server).FetchShotList(1, 0, 0, 0, list));
    EXPECT_EQ(list.rowCount, 9);
    EXPECT_TRUE(list.rows.empty());

    GalleryTestServer unsized([](const gallery_test::Request&) {
        return Answer{Answer::Kind::Reply, 200, Fields({"2", "1", "0"}), false};
    });
    ASSERT_TRUE(ClientOf(unsized).FetchShotList(1, 0, 0, 0, list));
    EXPECT_EQ(list.totalPages, 2);
}
