// The change record as a file: UTF-8 text, a first line naming the format
// and its version, one line per window, and a last line when the user left
// the windows so at closing. Texts are escaped so that any UTF-16 text
// (line breaks, tabs, a lone surrogate) comes back as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/outline_geometry.h"
#include "platform/types.h"
#include "table/window_state.h"

namespace vindrel {

// How a window the boss key hid lay, so that it is shown as it was: its
// place among the windows hidden together (0: the top), its placement, and
// whether it had the foreground.
struct BossPlace {
    std::uint32_t order = 0;
    std::uint32_t showCmd = 0;  // as GetWindowPlacement gave it
    ScreenRect normal{};        // its normal position, as GetWindowPlacement gave it
    bool foreground = false;
    bool operator==(const BossPlace&) const = default;
};

// A window the program changed, as the record keeps it: what the window
// is (a handle is reused, the process's id and creation time and the
// window's class together are not), and for each aspect changed its state
// before the first change and the state the program set.
struct RecordedWindow {
    Hwnd window = 0;
    Pid pid = 0;
    std::uint64_t created = 0;
    std::wstring className{};
    std::wstring process{};           // the executable's name
    bool hid = false;                 // visible before; the program hid it
    std::optional<BossPlace> boss{};  // hidden by the boss key (with `hid`)
    std::optional<Layering> layering{};
    std::uint8_t setAlpha = 0;
    std::optional<std::wstring> title{};
    std::wstring setTitle{};
    std::optional<bool> topmost{};  // WS_EX_TOPMOST
    bool setTopmost = false;

    bool Empty() const { return !hid && !layering && !title && !topmost; }
    bool operator==(const RecordedWindow&) const = default;
};

struct RecordFile {
    std::vector<RecordedWindow> windows;
    // The user answered 否 at closing: the windows were left so on purpose.
    bool left = false;
};

// A text as a field of such a file: a tab, then the text in UTF-8, with
// tabs, line breaks, backslashes, control characters and lone surrogates
// escaped; and the text of a field (after its tab), nothing but what
// AppendTextField writes accepted.
void AppendTextField(std::string& out, std::wstring_view text);
std::optional<std::wstring> ReadTextField(std::string_view field);

// Larger files are not read.
inline constexpr std::size_t kRecordFileLimit = 8u << 20;

// A window whose line would be too long to read back (titles of hundreds of
// thousands of characters) is left out.
std::string WriteRecordFile(const RecordFile& file);
// Empty for anything but a whole file of this version (or an earlier one:
// the first had no topmost aspect, the second no boss key) whose every line
// checks: numbers in range, texts valid and escaped, each aspect at most
// once per window, each window once, all exactly as WriteRecordFile
// writes them.
std::optional<RecordFile> ReadRecordFile(std::string_view bytes);

}  // namespace vindrel
