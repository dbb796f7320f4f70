// The boss key's settings: the key and the programs chosen, and their
// file; and the key as the hotkey control gives it, as RegisterHotKey
// takes it and as the user reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hot_key.h"
#include "platform/record_store.h"

namespace vindrel {

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

// Why a key did not take: "未生效：" and the reason, for RegisterHotKey's error.
std::wstring KeyNotTaken(std::uint32_t error);
// The same, said at start-up of the key the settings hold.
std::wstring BossKeyNotTaken(const HotKey& key, std::uint32_t error);

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

// The settings' file in the record folder.
inline constexpr std::wstring_view kSettingsFile = L"bosskey.settings";

// What the folder holds: no boss key without a file. A file that cannot be
// read is set aside with ".bad" (over an older one) and `notice` names it;
// the program then starts with no boss key.
struct LoadedSettings {
    BossSettings settings;
    std::optional<std::wstring> notice;
};
LoadedSettings LoadSettings(RecordFolder& folder);
// Writes them whole, only once a key is set; a key cleared keeps the
// programs in the file, and the file goes once neither is left.
// False when the folder cannot be written.
bool SaveSettings(RecordFolder& folder, const BossSettings& settings);

}  // namespace vindrel
