#include "actions/record_file.h"

#include <algorithm>
#include <limits>
#include <set>

#include "platform/conversions.h"

namespace vindrel {

namespace {

constexpr std::string_view kHeader = "Vindrel change record, version 3";
// The earlier versions are still read: the first without the topmost
// aspect, the second without the boss key's.
constexpr std::string_view kEarlierHeaders[] = {"Vindrel change record, version 1",
                                                "Vindrel change record, version 2"};
constexpr std::string_view kLeft = "left by the user";
constexpr std::string_view kEnd = "end";
// A longer line is not read: no title the program sets comes near it.
constexpr std::size_t kLineLimit = 1u << 20;
constexpr char kHex[] = "0123456789ABCDEF";

void AppendHex(std::string& out, std::uint32_t value, int digits) {
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += kHex[(value >> shift) & 0xF];
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsHigh(std::uint32_t unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}
bool IsLow(std::uint32_t unit) {
    return unit >= 0xDC00 && unit < 0xE000;
}

}  // namespace

// A tab-separated field: UTF-8, with the separators, control characters
// and lone surrogates escaped.
void AppendTextField(std::string& out, std::wstring_view text) {
    out += '\t';
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t cp = static_cast<std::uint32_t>(text[i]);
        if (IsHigh(cp) && i + 1 < text.size() && IsLow(static_cast<std::uint32_t>(text[i + 1]))) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<std::uint32_t>(text[++i]) - 0xDC00);
        }
        switch (cp) {
            case '\\':
                out += "\\\\";
                continue;
            case '\t':
                out += "\\t";
                continue;
            case '\r':
                out += "\\r";
                continue;
            case '\n':
                out += "\\n";
                continue;
            default:
                break;
        }
        if (cp > 0x10FFFF) cp = 0xFFFD;  // not a character (32-bit wchar_t only)
        if (cp < 0x20 || cp == 0x7F || IsHigh(cp) || IsLow(cp)) {
            out += "\\u";
            AppendHex(out, cp, 4);
        } else {
            AppendUtf8(out, cp);
        }
    }
}

namespace {

void AppendUnit(std::wstring& text, std::uint32_t cp) {
    if (cp >= 0x10000 && sizeof(wchar_t) == 2) {
        text += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
        text += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
        text += static_cast<wchar_t>(cp);
    }
}

// Upper-case hexadecimal digits, as AppendHex writes them.
std::optional<std::uint32_t> HexValue(std::string_view digits) {
    const auto value = DigitsValue(digits, 16, 0xFFFFFFFFu, HexLetters::UpperOnly);
    if (!value) return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

}  // namespace

// Strict UTF-8 (no overlong forms, no encoded surrogates) and the escapes
// AppendText writes; nothing else.
std::optional<std::wstring> ReadTextField(std::string_view field) {
    std::wstring text;
    for (std::size_t i = 0; i < field.size();) {
        const auto byte = static_cast<unsigned char>(field[i]);
        if (byte == '\\') {
            if (i + 1 >= field.size()) return std::nullopt;
            const char escape = field[i + 1];
            i += 2;
            if (escape == '\\')
                text += L'\\';
            else if (escape == 't')
                text += L'\t';
            else if (escape == 'r')
                text += L'\r';
            else if (escape == 'n')
                text += L'\n';
            else if (escape == 'u' && i + 4 <= field.size()) {
                const auto unit = HexValue(field.substr(i, 4));
                if (!unit) return std::nullopt;
                text += static_cast<wchar_t>(*unit);
                i += 4;
            } else {
                return std::nullopt;
            }
            continue;
        }
        if (byte < 0x20 || byte == 0x7F) return std::nullopt;
        if (byte < 0x80) {
            text += static_cast<wchar_t>(byte);
            ++i;
            continue;
        }
        // The length, the least code point of that length, and the bounds
        // of the second byte that exclude overlong forms and surrogates.
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (byte >= 0xC2 && byte <= 0xDF)
            length = 2;
        else if (byte >= 0xE0 && byte <= 0xEF)
            length = 3;
        else if (byte >= 0xF0 && byte <= 0xF4)
            length = 4;
        else
            return std::nullopt;
        if (byte == 0xE0) low = 0xA0;
        if (byte == 0xED) high = 0x9F;
        if (byte == 0xF0) low = 0x90;
        if (byte == 0xF4) high = 0x8F;
        if (i + length > field.size()) return std::nullopt;
        std::uint32_t cp = byte & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(field[i + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return std::nullopt;
            cp = (cp << 6) | (next & 0x3F);
        }
        AppendUnit(text, cp);
        i += length;
    }
    return text;
}

namespace {

template <class Number>
std::optional<Number> Decimal(std::string_view field) {
    // Digits only, no sign, no leading zero.
    if (field.size() > 1 && field[0] == '0') return std::nullopt;
    const auto value = DigitsValue(field, 10, std::numeric_limits<Number>::max());
    if (!value) return std::nullopt;
    return static_cast<Number>(*value);
}

// "0x" and eight upper-case hexadecimal digits, as written.
std::optional<std::uint32_t> Hex32(std::string_view field) {
    if (field.size() != 10 || field.substr(0, 2) != "0x") return std::nullopt;
    return HexValue(field.substr(2));
}

std::string Hex32Text(std::uint32_t value) {
    std::string text = "0x";
    AppendHex(text, value, 8);
    return text;
}

// A signed decimal number as std::to_string writes it.
std::optional<std::int32_t> SignedDecimal(std::string_view field) {
    const bool negative = !field.empty() && field[0] == '-';
    const auto magnitude = Decimal<std::uint32_t>(field.substr(negative ? 1 : 0));
    if (!magnitude || (negative && *magnitude == 0) ||
        *magnitude > (negative ? 0x80000000u : 0x7FFFFFFFu)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(*magnitude)
                                              : *magnitude);
}

std::optional<std::uint32_t> OptionalHex(std::string_view field, bool& present) {
    present = field != "-";
    if (!present) return 0;
    return Hex32(field);
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

// The aspects after the window's own fields; false for anything unknown,
// repeated or out of range.
bool ReadAspects(const std::vector<std::string_view>& f, std::size_t i, RecordedWindow& w) {
    bool opacity = false;
    while (i < f.size()) {
        if (f[i] == "hidden" && !w.hid) {
            w.hid = true;
            i += 1;
        } else if (f[i] == "opacity" && !opacity && i + 5 < f.size()) {
            opacity = true;
            Layering layering;
            bool key = false, flags = false;
            const auto keyValue = OptionalHex(f[i + 2], key);
            const auto alpha = Decimal<unsigned>(f[i + 3]);
            const auto flagsValue = OptionalHex(f[i + 4], flags);
            const auto set = Decimal<unsigned>(f[i + 5]);
            if ((f[i + 1] != "0" && f[i + 1] != "1") || !keyValue || !flagsValue || !alpha ||
                !set || *alpha > 255 || *set > 255) {
                return false;
            }
            layering.layered = f[i + 1] == "1";
            // As LayeringOf reads it: attributes for a layered window only.
            if (key != layering.layered || flags != layering.layered) return false;
            if (key) layering.key = *keyValue;
            if (flags) layering.flags = *flagsValue;
            if (!layering.layered && *alpha != 255) return false;
            layering.alpha = static_cast<std::uint8_t>(*alpha);
            w.layering = layering;
            w.setAlpha = static_cast<std::uint8_t>(*set);
            i += 6;
        } else if (f[i] == "boss" && w.hid && !w.boss && i + 7 < f.size()) {
            const auto order = Decimal<std::uint32_t>(f[i + 1]);
            const auto showCmd = Decimal<std::uint32_t>(f[i + 2]);
            std::optional<std::int32_t> edges[4];
            for (int k = 0; k < 4; ++k)
                edges[k] = SignedDecimal(f[i + 3 + static_cast<std::size_t>(k)]);
            if (!order || !showCmd || !edges[0] || !edges[1] || !edges[2] || !edges[3] ||
                (f[i + 7] != "0" && f[i + 7] != "1")) {
                return false;
            }
            w.boss = BossPlace{
                *order, *showCmd, {*edges[0], *edges[1], *edges[2], *edges[3]}, f[i + 7] == "1"};
            i += 8;
        } else if (f[i] == "topmost" && !w.topmost && i + 2 < f.size()) {
            const auto bit = [](std::string_view field) -> std::optional<bool> {
                if (field != "0" && field != "1") return std::nullopt;
                return field == "1";
            };
            const auto before = bit(f[i + 1]), set = bit(f[i + 2]);
            if (!before || !set) return false;
            w.topmost = *before;
            w.setTopmost = *set;
            i += 3;
        } else if (f[i] == "title" && !w.title && i + 2 < f.size()) {
            auto before = ReadTextField(f[i + 1]);
            auto set = ReadTextField(f[i + 2]);
            if (!before || !set) return false;
            w.title = std::move(*before);
            w.setTitle = std::move(*set);
            i += 3;
        } else {
            return false;
        }
    }
    return !w.Empty();
}

std::optional<RecordedWindow> ReadWindow(std::string_view line) {
    const std::vector<std::string_view> f = Fields(line);
    if (f.size() < 7 || f[0] != "window") return std::nullopt;
    RecordedWindow w;
    const auto handle = Hex32(f[1]);
    const auto pid = Decimal<std::uint32_t>(f[2]);
    const auto created = Decimal<std::uint64_t>(f[3]);
    auto className = ReadTextField(f[4]);
    auto process = ReadTextField(f[5]);
    if (!handle || *handle == 0 || !pid || *pid == 0 || !created || !className ||
        className->empty() || !process) {
        return std::nullopt;
    }
    w.window = static_cast<Hwnd>(*handle);
    w.pid = static_cast<Pid>(*pid);
    w.created = *created;
    w.className = std::move(*className);
    w.process = std::move(*process);
    if (!ReadAspects(f, 6, w)) return std::nullopt;
    return w;
}

}  // namespace

std::string WriteRecordFile(const RecordFile& file) {
    std::string out(kHeader);
    out += '\n';
    for (const RecordedWindow& w : file.windows) {
        const std::size_t start = out.size();
        out += "window\t" + Hex32Text(static_cast<std::uint32_t>(w.window)) + '\t' +
               std::to_string(static_cast<std::uint32_t>(w.pid)) + '\t' + std::to_string(w.created);
        AppendTextField(out, w.className);
        AppendTextField(out, w.process);
        if (w.hid) out += "\thidden";
        if (const auto& b = w.boss; b && w.hid) {
            out += "\tboss\t" + std::to_string(b->order) + '\t' + std::to_string(b->showCmd) +
                   '\t' + std::to_string(b->normal.left) + '\t' + std::to_string(b->normal.top) +
                   '\t' + std::to_string(b->normal.right) + '\t' +
                   std::to_string(b->normal.bottom) + '\t' + (b->foreground ? "1" : "0");
        }
        if (const auto& l = w.layering) {
            out += std::string("\topacity\t") + (l->layered ? "1" : "0") + '\t' +
                   (l->key ? Hex32Text(*l->key) : "-") + '\t' + std::to_string(l->alpha) + '\t' +
                   (l->flags ? Hex32Text(*l->flags) : "-") + '\t' + std::to_string(w.setAlpha);
        }
        if (w.topmost) {
            out += std::string("\ttopmost\t") + (*w.topmost ? "1" : "0") + '\t' +
                   (w.setTopmost ? "1" : "0");
        }
        if (w.title) {
            out += "\ttitle";
            AppendTextField(out, *w.title);
            AppendTextField(out, w.setTitle);
        }
        // A window whose titles would make a line too long to read back
        // stays in memory only.
        if (out.size() - start > kLineLimit) {
            out.resize(start);
        } else {
            out += '\n';
        }
    }
    if (file.left) out += std::string(kLeft) + '\n';
    return out + std::string(kEnd) + '\n';
}

std::optional<RecordFile> ReadRecordFile(std::string_view bytes) {
    if (bytes.size() > kRecordFileLimit || bytes.empty() || bytes.back() != '\n') {
        return std::nullopt;
    }
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = bytes.find('\n', start);
        if (end - start > kLineLimit) return std::nullopt;
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    // A whole file: the header first, "end" last.
    if (lines.size() < 2 || lines.back() != kEnd) return std::nullopt;
    int version = lines.front() == kHeader ? 3 : 0;
    for (int k = 0; k < 2; ++k)
        if (lines.front() == kEarlierHeaders[k]) version = k + 1;
    if (version == 0) return std::nullopt;
    RecordFile file;
    std::set<Hwnd> seen;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        if (lines[i] == kLeft && i + 2 == lines.size()) {
            file.left = true;
            continue;
        }
        auto window = ReadWindow(lines[i]);
        if (!window || !seen.insert(window->window).second) return std::nullopt;
        file.windows.push_back(std::move(*window));
    }
    // Only the writer's own form: every line is what it would write, so
    // nothing unchecked passes (another order, another escape).
    std::string written = WriteRecordFile(file);
    if (version < 3) written.replace(0, kHeader.size(), kEarlierHeaders[version - 1]);
    if (written != bytes) return std::nullopt;
    // Nothing an earlier version could not hold.
    if (std::any_of(file.windows.begin(), file.windows.end(), [&](const RecordedWindow& w) {
            return (version < 2 && w.topmost) || (version < 3 && w.boss);
        })) {
        return std::nullopt;
    }
    return file;
}

}  // namespace vindrel
