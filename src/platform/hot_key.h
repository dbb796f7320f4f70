// A global key of the program's own, as RegisterHotKey takes it.
#pragma once

#include <cstdint>

namespace vindrel {

// MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4, MOD_WIN 8, and a virtual key.
struct HotKey {
    std::uint32_t modifiers = 0;
    std::uint32_t key = 0;
    bool operator==(const HotKey&) const = default;
};

inline constexpr std::uint32_t kModAlt = 1, kModControl = 2, kModShift = 4, kModWin = 8;

// RegisterHotKey's error for a key another program (or another copy of
// this one) holds.
inline constexpr std::uint32_t kHotKeyTaken = 1409;

}  // namespace vindrel
