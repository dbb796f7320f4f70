// The boss key's settings: the key and the programs chosen, and their
// file; and the key as the hotkey control gives it, as RegisterHotKey
// takes it and as the user reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vindrel {

// A key as RegisterHotKey takes it: MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4,
// MOD_WIN 8, and a virtual key.
struct HotKey {
    std::uint32_t modifiers = 0;
    std::uint32_t key = 0;
    bool operator==(const HotKey&) const = default;
};

inline constexpr std::uint32_t kModAlt = 1, kModControl = 2, kModShift = 4, kModWin = 8;

// The hotkey control's value (HKM_GETHOTKEY: the virtual key in the low
// byte, HOTKEYF_SHIFT 1, HOTKEYF_CONTROL 2, HOTKEYF_ALT 4 and HOTKEYF_EXT 8
// in the high byte), with the Win box the control lacks; HOTKEYF_EXT says
// which of two keys was pressed, and RegisterHotKey has no such bit.
HotKey FromHotKeyControl(std::uint16_t value, bool win);
// Back to the control's value (the Win box shows the rest).
std::uint16_t ToHotKeyControl(const HotKey& key);
// "Ctrl+Alt+B", "Win+Shift+F12": the modifiers in Windows' order, then the
// key (a letter, a digit, F1 to F24, or its code).
std::wstring KeyText(const HotKey& key);

struct BossSettings {
    std::optional<HotKey> key;
    std::vector<std::wstring> programs;  // executables' full paths
    bool operator==(const BossSettings&) const = default;
};

// Larger files are not read.
inline constexpr std::size_t kSettingsFileLimit = 1u << 20;

// UTF-8 text: a first line naming the format, the key, one line per
// program, and "end".
std::string WriteSettingsFile(const BossSettings& settings);
// Empty for anything but such a whole file, exactly as written.
std::optional<BossSettings> ReadSettingsFile(std::string_view bytes);

}  // namespace vindrel
