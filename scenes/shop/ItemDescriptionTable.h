#pragma once
// The shop's description of each item: the text of the detail panel, the dimension and game rows,
// whether the item is offered in the ordinary categories, and its sale record.

#include <cstdint>
#include <vector>

#include "engine/core/Text.h"
#include "net/ItemTable.h"

namespace scenes {

struct ItemDescription {
    std::uint32_t itemId = 0;
    WString description;  // lines separated by "\n"
    WString dimension;
    WString game;
    const net::ItemRecord* record = nullptr;  // null when the item table has no such item
    std::uint8_t listed = 0;                  // 1 = offered in the ordinary categories
};

class ItemDescriptionTable {
public:
    static constexpr std::size_t kMaxDescription = 1000;
    static constexpr std::size_t kMaxDimension = 100;
    static constexpr std::size_t kMaxGame = 20;

    // Builds every record and looks up its sale record in `items`.
    explicit ItemDescriptionTable(const net::ItemTable& items = net::GetItemTable());

    const ItemDescription* Find(std::uint32_t itemId) const;
    // In the order the shop lists them.
    const std::vector<ItemDescription>& Records() const { return records_; }

private:
    std::vector<ItemDescription> records_;
};

}  // namespace scenes
