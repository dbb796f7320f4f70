#include "actions/boss_settings.h"

#include <algorithm>

#include "actions/record_file.h"
#include "platform/conversions.h"

namespace vindrel {

namespace {

constexpr std::string_view kHeader = "Vindrel settings, version 1";
constexpr std::string_view kEnd = "end";
constexpr std::uint32_t kControlShift = 1, kControlControl = 2, kControlAlt = 4;
constexpr std::uint32_t kAnyModifier = kModAlt | kModControl | kModShift | kModWin;

bool Holds(RecordFolder& folder, const std::wstring& name) {
    const std::vector<std::wstring> files = folder.Files(name);
    return std::find(files.begin(), files.end(), name) != files.end();
}

}  // namespace

HotKey FromHotKeyControl(std::uint16_t value, bool win) {
    const std::uint32_t flags = value >> 8;
    HotKey key{0, value & 0xFFu};
    if ((flags & kControlShift) != 0) key.modifiers |= kModShift;
    if ((flags & kControlControl) != 0) key.modifiers |= kModControl;
    if ((flags & kControlAlt) != 0) key.modifiers |= kModAlt;
    if (win) key.modifiers |= kModWin;
    return key;
}

std::uint16_t ToHotKeyControl(const HotKey& key) {
    std::uint32_t flags = 0;
    if ((key.modifiers & kModShift) != 0) flags |= kControlShift;
    if ((key.modifiers & kModControl) != 0) flags |= kControlControl;
    if ((key.modifiers & kModAlt) != 0) flags |= kControlAlt;
    return static_cast<std::uint16_t>((flags << 8) | (key.key & 0xFFu));
}

std::wstring KeyText(const HotKey& key) {
    std::wstring text;
    if ((key.modifiers & kModWin) != 0) text += L"Win+";
    if ((key.modifiers & kModControl) != 0) text += L"Ctrl+";
    if ((key.modifiers & kModShift) != 0) text += L"Shift+";
    if ((key.modifiers & kModAlt) != 0) text += L"Alt+";
    const std::uint32_t vk = key.key;
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) {
        text += static_cast<wchar_t>(vk);
    } else if (vk >= 0x70 && vk <= 0x87) {  // VK_F1 to VK_F24
        text += L"F" + std::to_wstring(vk - 0x70 + 1);
    } else {
        text += L"键 " + std::to_wstring(vk);
    }
    return text;
}

std::string WriteSettingsFile(const BossSettings& settings) {
    std::string out = std::string(kHeader) + '\n';
    if (settings.key) {
        out += "key\t" + std::to_string(settings.key->modifiers) + '\t' +
               std::to_string(settings.key->key) + '\n';
    }
    for (const std::wstring& program : settings.programs) {
        out += "program";
        AppendTextField(out, program);
        out += '\n';
    }
    return out + std::string(kEnd) + '\n';
}

std::optional<BossSettings> ReadSettingsFile(std::string_view bytes) {
    if (bytes.size() > kSettingsFileLimit || !bytes.starts_with(kHeader) ||
        !bytes.ends_with("\n")) {
        return std::nullopt;
    }
    BossSettings settings;
    bool ended = false;
    for (std::size_t start = kHeader.size() + 1; start < bytes.size();) {
        const std::size_t end = bytes.find('\n', start);
        const std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        if (ended) return std::nullopt;  // nothing after "end"
        if (line == kEnd) {
            ended = true;
        } else if (line.starts_with("key\t") && !settings.key && settings.programs.empty()) {
            const std::string_view fields = line.substr(4);
            const std::size_t tab = fields.find('\t');
            const auto modifiers = DigitsValue(fields.substr(0, tab), 10, kAnyModifier);
            const auto key = tab == std::string_view::npos
                                 ? std::nullopt
                                 : DigitsValue(fields.substr(tab + 1), 10, 0xFE);
            if (!modifiers || !key || *key == 0) return std::nullopt;
            settings.key =
                HotKey{static_cast<std::uint32_t>(*modifiers), static_cast<std::uint32_t>(*key)};
        } else if (line.starts_with("program\t")) {
            std::optional<std::wstring> program = ReadTextField(line.substr(8));
            if (!program || program->empty()) return std::nullopt;
            settings.programs.push_back(std::move(*program));
        } else {
            return std::nullopt;
        }
    }
    // Only the writer's own form (no leading zeros, nothing left over).
    if (!ended || WriteSettingsFile(settings) != bytes) return std::nullopt;
    return settings;
}

std::wstring KeyNotTaken(std::uint32_t error) {
    return L"未生效：" + (error == kHotKeyTaken
                              ? std::wstring(L"该热键已被占用（其他程序，或本程序的另一个副本）")
                              : L"系统拒绝了该热键（错误 " +
                                    DecimalText(static_cast<std::int32_t>(error)) + L"）");
}

std::wstring BossKeyNotTaken(const HotKey& key, std::uint32_t error) {
    return L"老板键 " + KeyText(key) + L" " + KeyNotTaken(error);
}

LoadedSettings LoadSettings(RecordFolder& folder) {
    const std::wstring name(kSettingsFile);
    if (!Holds(folder, name)) return {};
    if (const auto bytes = folder.Read(name, kSettingsFileLimit)) {
        if (auto settings = ReadSettingsFile(*bytes)) return {std::move(*settings), std::nullopt};
    }
    const std::wstring bad = name + L".bad";
    folder.Delete(bad);
    const bool setAside = folder.Rename(name, bad);
    return {{},
            L"老板键的设置文件无法读取，本次启动没有老板键。\r\n" +
                (setAside ? L"该文件已改名为：" + folder.PathOf(bad)
                          : L"该文件：" + folder.PathOf(name))};
}

bool SaveSettings(RecordFolder& folder, const BossSettings& settings) {
    const std::wstring name(kSettingsFile);
    if (!settings.key) {
        // The programs chosen stay, where a key was ever set.
        if (!Holds(folder, name)) return true;
        if (settings.programs.empty()) {
            folder.Delete(name);
            return true;
        }
    }
    return folder.Write(name, WriteSettingsFile(settings));
}

}  // namespace vindrel
