// The alarms a note arms, as minutes of the day.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace velmi {

// Entries 1 .. count are in use, entry 0 never is.
struct MinuteTable {
    static constexpr int kCapacity = 10;
    std::array<std::int32_t, kCapacity + 1> minutes{};
    std::array<std::int32_t, kCapacity + 1> lines{};  // the note's line of each, from 0
    int count = 0;
};

}  // namespace velmi
