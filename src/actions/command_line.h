// The program's command line as commands: a verb, its value where it takes
// one, then options and one search in the window list's language. Reading
// it touches nothing; what is read is run by CommandRun.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vindrel {

// What a command's process ends with.
enum ExitCode : int {
    kExitDone = 0,     // done, or nothing needed doing
    kExitNotAll = 1,   // some window refused, did not answer or was gone
    kExitUsage = 2,    // the command line is not a command
    kExitSeveral = 3,  // several windows match, without --all or --first
    kExitNoMatch = 4,  // no window matches
    kExitNoCopy = 5,   // the running copy could not take the command
};

enum class Verb {
    Hide,
    Show,
    Minimize,
    Restore,
    Activate,
    Close,
    Title,
    Opacity,
    Topmost,
    NoTopmost,
    Rescue,
    PutBack,
    List,
    BossKey,
};

// Which windows a verb chooses among, before the search.
// The shell's taskbar and desktop are never among them.
enum class Candidates {
    Taskbar,    // visible titled windows with a taskbar button
    Lost,       // the windows the lost view lists
    Hidden,     // those of them that are hidden: what showing mends
    Minimised,  // minimised windows with a taskbar button or lost
    Recorded,   // the windows the change record holds
    None,       // the verb names no window
};

struct VerbInfo {
    std::wstring_view name;
    std::wstring_view word;  // what it does, in the output: 已 + word when done
    Verb verb;
    Candidates candidates;
    // What follows the verb before the search.
    enum class Value { None, Text, Percent, BossAction } value;
    // Whether the verb needs a search (else it may have one).
    bool searchNeeded;
};

inline constexpr std::array<VerbInfo, 14> kVerbs{{
    {L"hide", L"隐藏", Verb::Hide, Candidates::Taskbar, VerbInfo::Value::None, true},
    {L"show", L"显示", Verb::Show, Candidates::Hidden, VerbInfo::Value::None, true},
    {L"minimize", L"最小化", Verb::Minimize, Candidates::Taskbar, VerbInfo::Value::None, true},
    {L"restore", L"还原", Verb::Restore, Candidates::Minimised, VerbInfo::Value::None, true},
    {L"activate", L"激活", Verb::Activate, Candidates::Taskbar, VerbInfo::Value::None, true},
    {L"close", L"请求关闭", Verb::Close, Candidates::Taskbar, VerbInfo::Value::None, true},
    {L"title", L"改名", Verb::Title, Candidates::Taskbar, VerbInfo::Value::Text, true},
    {L"opacity", L"更改不透明度", Verb::Opacity, Candidates::Taskbar, VerbInfo::Value::Percent,
     true},
    {L"topmost", L"置顶", Verb::Topmost, Candidates::Taskbar, VerbInfo::Value::None, true},
    {L"notopmost", L"取消置顶", Verb::NoTopmost, Candidates::Taskbar, VerbInfo::Value::None, true},
    {L"rescue", L"找回", Verb::Rescue, Candidates::Lost, VerbInfo::Value::None, true},
    {L"putback", L"恢复", Verb::PutBack, Candidates::Recorded, VerbInfo::Value::None, false},
    {L"list", L"列出", Verb::List, Candidates::Taskbar, VerbInfo::Value::None, false},
    {L"bosskey", L"用老板键", Verb::BossKey, Candidates::None, VerbInfo::Value::BossAction, false},
}};

enum class BossAction { Hide, Show, Toggle };

struct Command {
    const VerbInfo* verb = nullptr;
    std::wstring title;      // title's text
    std::uint8_t alpha = 0;  // opacity's, from its percentage
    BossAction boss = BossAction::Toggle;
    std::optional<std::wstring> search;
    bool all = false;     // --all: each window that matches
    bool first = false;   // --first: the first that matches, in Z order
    bool hidden = false;  // --hidden: among every window
    bool utf8 = false;    // --utf8: output in UTF-8, not the OEM code page
};

struct CommandRead {
    Command command;                    // --utf8 is read even from a line that is no command
    std::optional<std::wstring> error;  // why it is no command
};

// Reads the arguments after the program's name; the first is the verb.
CommandRead ReadCommand(const std::vector<std::wstring>& arguments);

// The usage, after the reason it is shown.
std::wstring UsageText(const std::wstring& error);

}  // namespace vindrel
