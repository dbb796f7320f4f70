#include "actions/command_line.h"

#include <algorithm>

#include "platform/conversions.h"
#include "platform/text.h"
#include "table/window_rows.h"
#include "table/window_state.h"

namespace vindrel {

namespace {

// The number after pid: or hwnd:, whole: decimal (a minus sign allowed),
// or hexadecimal after 0x or &H; at most 32 bits.
bool WholeNumber(std::wstring_view text) {
    if (text.starts_with(L"0x") || text.starts_with(L"&h")) {
        return DigitsValue(text.substr(2), 16, 0xFFFFFFFFu).has_value();
    }
    if (text.starts_with(L"-")) text.remove_prefix(1);
    return DigitsValue(text, 10, 0x80000000u).has_value();
}

// A search the window list would take but the command line cannot: it
// would pick windows by chance, or none for a reason the user should see.
std::optional<std::wstring> SearchError(const std::wstring& text) {
    if (text.find_first_not_of(L" \t") == std::wstring::npos) return L"搜索条件是空的";
    const WindowSearch search(text, true);
    switch (search.Which()) {
        case WindowSearch::Kind::Pid:
        case WindowSearch::Kind::Handle:
            if (!WholeNumber(search.Text()) || !search.Number()) {
                return L"“" + text + L"”：冒号后面要写一个数（十进制，或 0x、&H 开头的十六进制）";
            }
            break;
        case WindowSearch::Kind::Class:
        case WindowSearch::Kind::Exe:
            if (search.Text().empty()) return L"“" + text + L"”：冒号后面是空的";
            break;
        case WindowSearch::Kind::Anywhere:
            if (std::all_of(text.begin(), text.end(),
                            [](wchar_t c) { return (c >= L'0' && c <= L'9') || c == L' '; })) {
                return L"“" + text + L"”只有数字：进程号请写成 pid:" + text +
                       L"，窗口句柄请写成 hwnd:" + text;
            }
            break;
    }
    return std::nullopt;
}

}  // namespace

CommandRead ReadCommand(const std::vector<std::wstring>& arguments) {
    CommandRead read;
    Command& command = read.command;
    // --utf8 first: a usage error is written as asked too.
    command.utf8 = std::find(arguments.begin() + std::min<std::size_t>(1, arguments.size()),
                             arguments.end(), L"--utf8") != arguments.end();
    const auto fail = [&](std::wstring why) {
        read.error = std::move(why);
        return read;
    };
    if (arguments.empty()) return fail(L"没有命令");
    const std::wstring verb = LowerCase(arguments[0]);
    const auto found = std::find_if(kVerbs.begin(), kVerbs.end(),
                                    [&](const VerbInfo& info) { return info.name == verb; });
    if (found == kVerbs.end()) return fail(L"不认识的命令“" + arguments[0] + L"”");
    command.verb = &*found;
    std::size_t at = 1;
    const auto next = [&]() -> std::optional<std::wstring> {
        if (at >= arguments.size()) return std::nullopt;
        return arguments[at++];
    };
    switch (found->value) {
        case VerbInfo::Value::None:
            break;
        case VerbInfo::Value::Text: {
            const auto text = next();
            if (!text) return fail(L"title 后面要写新的标题");
            command.title = *text;
            break;
        }
        case VerbInfo::Value::Percent: {
            const auto text = next();
            const auto value = text ? DigitsValue(*text, 10, 100) : std::nullopt;
            if (!value) return fail(L"opacity 后面要写 0 到 100 的百分数");
            command.alpha = AlphaOfPercent(static_cast<int>(*value));
            break;
        }
        case VerbInfo::Value::BossAction: {
            const auto text = next();
            const std::wstring action = text ? LowerCase(*text) : std::wstring();
            if (action == L"hide") {
                command.boss = BossAction::Hide;
            } else if (action == L"show") {
                command.boss = BossAction::Show;
            } else if (action == L"toggle") {
                command.boss = BossAction::Toggle;
            } else {
                return fail(L"bosskey 后面要写 hide、show 或 toggle");
            }
            break;
        }
    }
    for (auto argument = next(); argument; argument = next()) {
        const std::wstring& text = *argument;
        if (text.starts_with(L"--")) {
            const std::wstring option = LowerCase(text);
            const bool windows = found->candidates != Candidates::None;
            if (option == L"--utf8") continue;
            if (option == L"--all" && windows) {
                command.all = true;
            } else if (option == L"--first" && windows) {
                command.first = true;
            } else if (option == L"--hidden" && windows) {
                command.hidden = true;
            } else {
                return fail(L"不认识的选项“" + text + L"”");
            }
            continue;
        }
        if (command.search || found->candidates == Candidates::None) {
            return fail(L"多余的参数“" + text + L"”（有空格的搜索条件请加引号）");
        }
        if (const auto error = SearchError(text)) return fail(*error);
        command.search = text;
    }
    if (command.all && command.first) return fail(L"--all 和 --first 只能选一个");
    if (found->searchNeeded && !command.search) {
        return fail(L"缺少搜索条件：要对哪个窗口" + std::wstring(found->name) + L"？");
    }
    return read;
}

std::wstring UsageText(const std::wstring& error) {
    return L"用法错误：" + error +
           L"\r\n\r\n"
           L"用法：Vindrel.exe 命令 [选项] 搜索条件\r\n"
           L"命令：hide、show、minimize、restore、activate、close、title 新标题、"
           L"opacity 百分数(0-100)、topmost、notopmost、rescue、putback [搜索条件]、"
           L"list [搜索条件]、bosskey hide|show|toggle\r\n"
           L"搜索条件：pid:进程号、hwnd:句柄、class:类名、exe:程序名或完整路径，"
           L"其他文字在程序名和标题中查找\r\n"
           L"选项：--all 对每个符合的窗口，--first 只对第一个，--hidden 在所有窗口中查找，"
           L"--utf8 以 UTF-8 输出\r\n"
           L"退出码：0 完成，1 有窗口未能更改，2 用法错误，3 有多个窗口符合，4 没有窗口符合，"
           L"5 正在运行的本程序无法执行命令";
}

}  // namespace vindrel
