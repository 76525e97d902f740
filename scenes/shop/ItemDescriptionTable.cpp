#include "scenes/shop/ItemDescriptionTable.h"

#include "engine/core/Format.h"

namespace scenes {

namespace {

struct Row {
    std::uint32_t id;
    std::uint8_t listed;
    const char16_t* dimension;
    const char16_t* game;
    const char16_t* description;  // null: the item's name as a line of its own
};

constexpr const char16_t* kCue19 = u"140cm, 19oz";
constexpr const char16_t* kCue20 = u"140cm, 20oz";
constexpr const char16_t* kCue21 = u"140cm, 21oz";
constexpr const char16_t* kAll = u"All";
constexpr const char16_t* kLargeTable = u"국제식 대대, 일반쿠션";
constexpr const char16_t* kMiddleTable = u"중대, 일반쿠션";
constexpr const char16_t* kPocketTable = u"포켓 9ft, 일반쿠션";
constexpr const char16_t* kPatterned = u"61.5mm, 210g";

// clang-format off
const Row kRows[] = {
    {3001, 1, kCue19, kAll, u"Low quality beginner's cue.\n"},
    {3002, 1, kCue19, kAll, u"Beginner's cue with a steadier stroke.\n"},
    {3100, 1, kCue21, kAll, u"큐의 성능과 디자인을 직접 고르는 커스텀 큐입니다.\n"},
    {3104, 1, kCue21, kAll, u"파츠를 바꾸어 성능을 올리는 튜닝 큐입니다.\n"},
    {3103, 0, kCue21, kAll, nullptr},
    {3102, 0, kCue21, kAll, nullptr},
    {3012, 1, kCue19, kAll, u"Ebony cue for a soft touch.\n"},
    {3011, 1, kCue19, kAll, u"Ash cue with a little more power.\n"},
    {3010, 1, kCue19, kAll, u"Maple cue, light and balanced.\n"},
    {3043, 0, kCue21, kAll, nullptr},
    {3042, 0, kCue21, kAll, nullptr},
    {3041, 0, kCue21, kAll, nullptr},
    {3055, 0, kCue21, kAll, nullptr},
    {3054, 0, kCue21, kAll, nullptr},
    {3053, 0, kCue21, kAll, nullptr},
    {3052, 0, kCue21, kAll, nullptr},
    {3051, 0, kCue21, kAll, nullptr},
    {3050, 0, kCue21, kAll, nullptr},
    {3003, 0, kCue20, kAll, nullptr},
    {3004, 0, kCue20, kAll, nullptr},
    {3005, 0, kCue21, kAll, nullptr},
    {3006, 0, kCue21, kAll, nullptr},
    {11, 0, u"-", kAll, u"마르베클럽 베이직 멤버십입니다.\n"},
    {12, 0, u"-", kAll, u"마르베클럽 플러스 멤버십입니다.\n"},
    {4901, 0, u"-", kAll, nullptr},
    {4902, 0, u"-", kAll, nullptr},
    {4903, 1, u"-", kAll, u"High quality chalk. It will reduce miscues.\nHowever, chalks cannot prevent 100% of miscues. (use 'C' key)\n"},
    {4510, 0, u"-", kAll, nullptr},
    {4511, 0, u"-", kAll, nullptr},
    {4512, 0, u"-", kAll, nullptr},
    {4513, 0, u"-", kAll, nullptr},
    {4520, 0, u"for beginner", kAll, nullptr},
    {4526, 0, u"", kAll, nullptr},
    {4504, 0, u"-", kAll, nullptr},
    {4150, 0, u"-", kAll, nullptr},
    {4111, 0, u"-", kAll, nullptr},
    {4106, 0, u"-", kAll, nullptr},
    {4107, 0, u"-", kAll, nullptr},
    {4101, 0, u"-", kAll, nullptr},
    {4108, 0, u"-", kAll, nullptr},
    {4104, 0, u"-", kAll, nullptr},
    {4103, 0, u"-", kAll, nullptr},
    {4102, 0, u"-", kAll, u"닉네임을 한 번 바꿀 수 있습니다.\n"},
    {4011, 0, u"-", kAll, nullptr},
    {4012, 0, u"-", kAll, nullptr},
    {4145, 0, u"-", kAll, nullptr},
    {4146, 0, u"-", kAll, nullptr},
    {2003, 1, u"4구공", u"4구", u"4구 경기용 공입니다.\n"},
    {2004, 1, u"3쿠션공", u"3쿠션,3쿠션갬블,3쿠션프로", u"국제 공식 규격 3쿠션 공입니다.\n"},
    {2008, 1, u"식스볼공", u"식스볼", u"식스볼 경기용 공입니다.\n"},
    {2006, 1, u"포켓볼공", u"8볼,9볼", u"포켓볼 경기용 공입니다.\n"},
    {2101, 0, kPatterned, u"4구", nullptr},
    {2102, 0, kPatterned, u"4구", nullptr},
    {2100, 0, kPatterned, u"4구", nullptr},
    {2103, 0, kPatterned, u"3쿠션", nullptr},
    {2104, 0, kPatterned, u"3쿠션", nullptr},
    {2142, 0, u"65.5mm, 250g", u"4구", nullptr},
    {2143, 0, u"57.2mm, 170g", u"포켓볼", nullptr},
    {2200, 0, u"4구공", u"4구", nullptr},
    {2201, 0, u"3쿠션공", u"3쿠션", nullptr},
    {1020, 1, kMiddleTable, u"4구", u"4구용 중대입니다.\n"},
    {1027, 1, kMiddleTable, u"4구", u"일반 중대입니다.\n"},
    {1024, 1, kLargeTable, u"3쿠션", u"3쿠션용 국제식 대대입니다.\n"},
    {1028, 1, kMiddleTable, u"4구", u"붉은 천의 중대입니다.\n"},
    {1026, 1, kLargeTable, u"3쿠션", u"푸른 천의 국제식 대대입니다.\n"},
    {1030, 1, kPocketTable, u"8볼", u"8볼용 포켓 테이블입니다.\n"},
    {1032, 1, kPocketTable, u"9볼", u"9볼용 포켓 테이블입니다.\n"},
    {1033, 1, kPocketTable, u"스트레이트", u"스트레이트 풀용 포켓 테이블입니다.\n"},
    {1101, 0, kLargeTable, u"3쿠션", nullptr},
    {1104, 0, kLargeTable, u"3쿠션", nullptr},
    {1103, 0, kLargeTable, u"3쿠션", nullptr},
    {1105, 0, kLargeTable, u"3쿠션", nullptr},
    {1102, 0, kLargeTable, u"3쿠션", nullptr},
    {1401, 0, kLargeTable, u"3쿠션", nullptr},
    {1501, 0, kLargeTable, u"4구", nullptr},
    {1502, 0, kLargeTable, u"4구", nullptr},
};
// clang-format on

WString Cut(WString text, std::size_t max) {
    if (text.size() > max) text.resize(max);
    return text;
}

}  // namespace

ItemDescriptionTable::ItemDescriptionTable(const net::ItemTable& items) {
    records_.reserve(std::size(kRows));
    for (const Row& row : kRows) {
        ItemDescription d;
        d.itemId = row.id;
        d.record = items.Find(row.id);
        d.listed = row.listed;
        d.dimension = Cut(row.dimension, kMaxDimension);
        d.game = Cut(row.game, kMaxGame);
        if (row.description)
            d.description = row.description;
        else if (d.record)
            d.description = d.record->name + u".\n";
        d.description = Cut(std::move(d.description), kMaxDescription);
        records_.push_back(std::move(d));
    }
}

const ItemDescription* ItemDescriptionTable::Find(std::uint32_t itemId) const {
    for (const ItemDescription& d : records_)
        if (d.itemId == itemId) return &d;
    return nullptr;
}

}  // namespace scenes
