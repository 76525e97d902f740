#pragma once
// Plain STRING_TABLE and BINARY records.

#include <cstdint>
#include <vector>

#include "engine/core/Text.h"

struct StringTableEntry {
    uint32_t id = 0;
    WString text;
    bool operator==(const StringTableEntry&) const = default;
};

struct StringTableData {
    std::vector<StringTableEntry> entries;
    bool operator==(const StringTableData&) const = default;
};

// Raw bytes read as the caller pleases (the "Lang" word list is ANSI text lines).
struct BinaryData {
    std::vector<uint8_t> bytes;
    bool operator==(const BinaryData&) const = default;
};
