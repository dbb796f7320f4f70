#include "actions/command_run.h"

#include <algorithm>

#include "actions/explanation.h"
#include "platform/conversions.h"
#include "table/lookup.h"
#include "table/window_reading.h"
#include "table/window_state.h"

namespace vindrel {

namespace {

bool Candidate(Candidates candidates, const WindowFacts& facts) {
    if (ShellWindow(facts.className)) return false;
    switch (candidates) {
        case Candidates::Taskbar:
            return TaskbarWindow(facts);
        case Candidates::Lost:
            return Lost(facts);
        case Candidates::Hidden:
            return Lost(facts) && !facts.visible;
        case Candidates::Minimised:
            return facts.minimised && (TaskbarWindow(facts) || Lost(facts));
        case Candidates::Recorded:
            return facts.changed;
        case Candidates::None:
            break;
    }
    return false;
}

// A window the verb would choose but for its state, which is what the verb
// would leave: nothing needs doing.
bool AlreadySo(Verb verb, const WindowFacts& facts) {
    WindowFacts shown = facts;
    shown.visible = true;
    switch (verb) {
        case Verb::Hide:
            return !facts.visible && TaskbarWindow(shown);
        case Verb::Show:
            return TaskbarWindow(facts) && !Lost(facts);
        case Verb::Restore:
            return TaskbarWindow(facts) && !facts.minimised;
        default:
            return false;
    }
}

// What became of the change, in a word or two, and whether it counts as
// done for the exit code.
std::pair<std::wstring, bool> Said(const VerbInfo& verb, const Outcome& outcome) {
    switch (outcome.kind) {
        case Outcome::Kind::Done:
        case Outcome::Kind::Unchanged:
            return {L"已" + std::wstring(verb.word), true};
        case Outcome::Kind::Sent:
            // A request whose effect cannot be read: done once it is sent.
            if (!outcome.RefusedAbove()) return {L"已" + std::wstring(verb.word), true};
            break;
        case Outcome::Kind::Gone:
            return {L"已不存在", false};
        default:
            break;
    }
    const std::wstring why =
        outcome.kind == Outcome::Kind::OwnWindow ? kOwnWindowHidden : ListReason(outcome);
    return {L"未能" + std::wstring(verb.word) + L"：" + why, false};
}

// A change refused before any call, for the reason given.
Outcome RefusedFor(Hwnd window, const std::wstring& why) {
    Outcome outcome;
    outcome.kind = Outcome::Kind::Failed;
    outcome.window = window;
    outcome.failure = StepError(L"", why);
    return outcome;
}

std::wstring Line(const std::wstring& what, const WindowFacts& facts) {
    return ResultLine(what, facts.window, facts.pid, facts.process, facts.title);
}

// The same for a recorded window, with its process as it is now (none for
// a window gone).
std::wstring Line(WindowSystem& ws, const std::wstring& what, const ChangeRecord::Named& named) {
    return ResultLine(what, named.window, WindowOwner(ws, named.window).value_or(0), named.process,
                      named.title);
}

}  // namespace

std::wstring ResultLine(const std::wstring& what, Hwnd window, Pid pid, const std::wstring& program,
                        const std::wstring& title) {
    return what + L"\t" + DecimalText(window) + L"\t" +
           DecimalText(static_cast<std::int32_t>(pid)) + L"\t" + program + L"\t" + title;
}

CommandResult CommandRun::Run(const Command& command) {
    switch (command.verb->verb) {
        case Verb::List:
            return List(command);
        case Verb::PutBack:
            return PutBack(command);
        case Verb::BossKey:
            return Boss(command);
        default:
            break;
    }
    CommandResult result;
    const std::vector<WindowFacts> windows = Choose(command, result);
    if (windows.empty()) return result;
    if (command.verb->verb == Verb::Rescue) return Rescue(windows);
    for (const WindowFacts& window : windows) {
        const auto [what, done] = Said(*command.verb, Change(command, window));
        if (!done) result.exitCode = kExitNotAll;
        result.lines.push_back(Line(what, window));
    }
    return result;
}

std::vector<WindowFacts> CommandRun::Choose(const Command& command, CommandResult& result) {
    const WindowSearch search(command.search.value_or(L""), true);
    std::vector<WindowFacts> rows =
        ReadWindows(ws_, [this](Hwnd window, Pid pid) { return record_.Holds(window, pid); });
    if (command.search) {
        std::erase_if(rows, [&](const WindowFacts& facts) { return !search.Matches(facts); });
    }
    // hwnd: names its window, whatever it is; only a recorded one is put back.
    const Candidates candidates = command.verb->candidates;
    const bool every = candidates != Candidates::Recorded &&
                       (command.hidden || search.Which() == WindowSearch::Kind::Handle);
    std::vector<WindowFacts> chosen;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(chosen),
                 [&](const WindowFacts& facts) { return every || Candidate(candidates, facts); });
    if (chosen.empty()) {
        for (const WindowFacts& facts : rows) {
            if (AlreadySo(command.verb->verb, facts)) {
                result.lines.push_back(Line(L"无需" + std::wstring(command.verb->word), facts));
            }
        }
        if (!result.lines.empty()) return chosen;
    }
    rows = std::move(chosen);
    if (rows.empty()) {
        result.exitCode = kExitNoMatch;
        result.lines.push_back(command.search ? L"没有符合“" + *command.search + L"”的窗口"
                                              : L"没有窗口");
        return rows;
    }
    if (rows.size() > 1 && command.first) rows.resize(1);  // the top of the Z order
    if (rows.size() > 1 && !command.all && command.verb->searchNeeded) {
        result.exitCode = kExitSeveral;
        result.lines.push_back(L"有 " + DecimalText(static_cast<std::int32_t>(rows.size())) +
                               L" 个窗口符合，什么也没有做：请加 --all 或 --first，"
                               L"或把搜索条件写得更具体");
        for (const WindowFacts& facts : rows)
            result.lines.push_back(Line(L"符合", facts));
        rows.clear();
    }
    return rows;
}

Outcome CommandRun::Change(const Command& command, const WindowFacts& window) {
    const Hwnd w = window.window;
    const Pid pid = window.pid;
    switch (command.verb->verb) {
        case Verb::Hide:
            return changes_.Hide(w, pid);
        case Verb::Show:
            return changes_.Show(w, pid);
        case Verb::Minimize:
            return changes_.Minimise(w, pid);
        case Verb::Restore:
            return changes_.Restore(w, pid);
        case Verb::Close:
            return changes_.AskToClose(w, pid);
        case Verb::Title:
            return changes_.Rename(w, command.title, pid);
        case Verb::Opacity:
            return opacity_.Layered(w, command.alpha, pid);
        case Verb::Topmost:
        case Verb::NoTopmost: {
            const bool topmost = command.verb->verb == Verb::Topmost;
            if (const auto owned = OwnedForTopmost(ws_, w, topmost)) return RefusedFor(w, *owned);
            return changes_.SetTopmost(w, pid, topmost);
        }
        case Verb::Activate:
            // Not recorded: there is nothing to put back.
            return path_.Run(w, {.owner = pid,
                                 .call =
                                     [this](Hwnd target) {
                                         ws_.SetForegroundWindow(target);
                                         return true;
                                     },
                                 .readBack =
                                     [this](Hwnd target) {
                                         return TookIf(ws_.GetForegroundWindow() == target);
                                     }});
        default:
            break;
    }
    return RefusedFor(w, L"这个命令不作用于单个窗口");
}

CommandResult CommandRun::List(const Command& command) {
    CommandResult result;
    for (const WindowFacts& facts : Choose(command, result)) {
        std::wstring line;
        for (std::size_t column = 0; column < kWindowColumns.size(); ++column) {
            if (column > 0) line += L'\t';
            line += ColumnText(facts, static_cast<WindowColumn>(column));
        }
        result.lines.push_back(std::move(line));
    }
    return result;
}

CommandResult CommandRun::PutBack(const Command& command) {
    CommandResult result;
    std::vector<ChangeRecord::PutBackResult> results;
    if (!command.search) {
        if (record_.Empty()) {
            result.lines.emplace_back(L"没有要恢复的窗口");
            return result;
        }
        results = record_.PutBack(path_);
    } else {
        std::vector<ChangeRecord::Named> named;
        for (const WindowFacts& facts : Choose(command, result))
            named.push_back({facts.window, facts.process, facts.title});
        if (named.empty()) return result;
        results = record_.PutBack(path_, named);
    }
    for (const auto& [named, outcome] : results) {
        const auto [what, done] = Said(*command.verb, outcome);
        if (!done) result.exitCode = kExitNotAll;
        result.lines.push_back(Line(ws_, what, named));
    }
    return result;
}

CommandResult CommandRun::Rescue(const std::vector<WindowFacts>& windows) {
    std::vector<LostWindow> lost;
    for (const WindowFacts& facts : windows)
        lost.push_back({facts.window, facts.pid, facts.process, facts.title});
    // Onto the monitor under the mouse pointer: where the user looks.
    std::int32_t x = 0, y = 0;
    ws_.GetCursorPos(&x, &y);
    const std::vector<MonitorInfo> monitors = ws_.DisplayMonitors();
    const MonitorInfo* onto = MonitorOf({x, y, x + 1, y + 1}, monitors);
    const std::vector<RescueResult> results =
        rescue_.Rescue(lost, onto != nullptr ? *onto : MonitorInfo{});
    rescue_.BringLastToFront(results);
    CommandResult result;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const std::optional<std::wstring> why = NotRescuedWhy(results[i]);
        if (why) result.exitCode = kExitNotAll;
        result.lines.push_back(Line(why ? L"未能找回：" + *why : L"已找回", windows[i]));
    }
    return result;
}

CommandResult CommandRun::Boss(const Command& command) {
    CommandResult result;
    if (boss_ == nullptr) {
        result.exitCode = kExitNoCopy;
        result.lines.emplace_back(L"老板键需要本程序正在运行");
        return result;
    }
    const bool hide = command.boss == BossAction::Hide ||
                      (command.boss == BossAction::Toggle && !boss_->Hidden());
    const BossResult done = hide ? boss_->Hide() : boss_->Show();
    result.lines.push_back(std::wstring(hide ? L"已隐藏 " : L"已显示 ") +
                           DecimalText(done.changed) + L" 个窗口");
    for (const auto& [named, outcome] : done.failed) {
        result.exitCode = kExitNotAll;
        result.lines.push_back(
            Line(ws_, (hide ? L"未能隐藏：" : L"未能显示：") + ListReason(outcome), named));
    }
    return result;
}

}  // namespace vindrel
