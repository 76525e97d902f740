#pragma once
// Reads what a mouse device buffered as (offset, data) pairs, oldest first.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/input/MouseDevice.h"

namespace testsupport {

using MouseChanges = std::vector<std::pair<std::uint32_t, std::int32_t>>;

inline MouseChanges ReadMouseChanges(platform::MouseDevice& mouse) {
    platform::MouseRecord records[64];
    std::uint32_t count = 64;
    EXPECT_EQ(mouse.GetDeviceData(records, count), platform::MouseResult::Ok);
    MouseChanges changes;
    for (std::uint32_t i = 0; i < count; ++i) changes.emplace_back(records[i].offset, records[i].data);
    return changes;
}

}  // namespace testsupport
