#include "actions/change_record.h"

#include <algorithm>
#include <functional>

#include "platform/conversions.h"
#include "table/lookup.h"

namespace vindrel {

namespace {

constexpr std::size_t kQuestionLines = 15;
constexpr std::size_t kLineTitle = 60;

std::wstring Line(const ChangeRecord::Named& named) {
    const std::wstring process = named.process.empty() ? L"（未知进程）" : named.process;
    // A title of any length keeps the box readable.
    std::wstring title = named.title;
    if (title.size() > kLineTitle) {
        // Not between the two halves of a UTF-16 surrogate pair.
        const bool split = title[kLineTitle - 1] >= 0xD800 && title[kLineTitle - 1] <= 0xDBFF;
        title = title.substr(0, split ? kLineTitle - 1 : kLineTitle) + L"…";
    }
    return process + L"  “" + title + L"”  " + DecimalText(named.window);
}

}  // namespace

void ChangeRecord::Before(Change change, Hwnd window) {
    const std::optional<Pid> owner = WindowOwner(ws_, window);
    if (!owner || *owner == ws_.GetCurrentProcessId()) return;
    auto found = windows_.find(window);
    if (found == windows_.end() || found->second.owner != *owner) {
        // New, or a handle now of another process: what was recorded for
        // the old one no longer applies.
        Entry entry;
        entry.window = window;
        entry.owner = *owner;
        entry.order = next_++;
        entry.process = ProcessName(ws_, *owner);
        entry.firstTitle = WholeTitle(ws_, window);
        found = windows_.insert_or_assign(window, std::move(entry)).first;
    }
    Entry& entry = found->second;
    switch (change) {
        case Change::Hide:
            if (!entry.wasVisible) entry.wasVisible = ws_.IsWindowVisible(window) != 0;
            break;
        case Change::Opacity:
            if (!entry.layering && unreadable_.count({window, *owner}) == 0) {
                // A layering that cannot be read (drawn by
                // UpdateLayeredWindow) cannot be put back: not recorded,
                // then or later, when what could be read is our own change.
                const Layering layering = LayeringOf(ws_, window);
                if (layering.layered && !layering.key) {
                    unreadable_.insert({window, *owner});
                } else {
                    entry.layering = layering;
                }
            }
            break;
        case Change::Title:
            if (!entry.title) entry.title = WholeTitle(ws_, window);
            break;
    }
    if (!entry.wasVisible && !entry.layering && !entry.title) windows_.erase(found);
}

bool ChangeRecord::StillThere(const Entry& entry) {
    const std::optional<Pid> owner = WindowOwner(ws_, entry.window);
    return owner && *owner == entry.owner;
}

ChangeRecord::Named ChangeRecord::NameOf(const Entry& entry, bool gone) {
    return {entry.window, entry.process, gone ? entry.firstTitle : WholeTitle(ws_, entry.window)};
}

std::vector<ChangeRecord::Named> ChangeRecord::Unseen() {
    std::vector<const Entry*> unseen;
    for (const auto& [window, entry] : windows_) {
        if (!StillThere(entry)) continue;
        const bool hidden = entry.wasVisible.value_or(false) && ws_.IsWindowVisible(window) == 0;
        const bool seeThrough =
            entry.layering && !entry.layering->SeeThrough() && LayeringOf(ws_, window).SeeThrough();
        if (hidden || seeThrough) unseen.push_back(&entry);
    }
    std::sort(unseen.begin(), unseen.end(),
              [](const Entry* a, const Entry* b) { return a->order < b->order; });
    std::vector<Named> named;
    for (const Entry* entry : unseen)
        named.push_back(NameOf(*entry, false));
    return named;
}

bool ChangeRecord::PutBackLayering(Hwnd window, const Layering& was) {
    const std::int32_t style = ws_.GetWindowLongA(window, api::kGwlExStyle);
    if (!was.layered) {
        if ((style & api::kWsExLayered) != 0) {
            ws_.SetWindowLongA(window, api::kGwlExStyle, style & ~api::kWsExLayered);
        }
        return !LayeringOf(ws_, window).layered;
    }
    if ((style & api::kWsExLayered) == 0) {
        ws_.SetWindowLongA(window, api::kGwlExStyle, style | api::kWsExLayered);
    }
    ws_.SetLayeredWindowAttributes(window, *was.key, was.alpha, *was.flags);
    const Layering now = LayeringOf(ws_, window);
    return now.layered && now.key == was.key && now.flags == was.flags && now.alpha == was.alpha;
}

void ChangeRecord::Restore(const Entry& entry) {
    const Hwnd window = entry.window;
    // Every part is tried, and each is read back: a window may refuse a
    // change (one that sets its own title again, or one of a program with
    // more rights than ours), and a refusal is no success. The first
    // failure is reported once all parts have been tried.
    std::optional<StepError> failure;
    const auto refused = [&] {
        return StepError(L"无法恢复窗口",
                         rights_.Of(window) == Standing::NotAbove
                             ? L"窗口没有接受更改"
                             : L"窗口没有接受更改：它的程序的权限可能比本程序高（例如以管理员"
                               L"身份运行），Windows 不允许本程序更改它");
    };
    const auto part = [&](const std::function<bool()>& putBack) {
        try {
            if (!putBack() && !failure) failure = refused();
        } catch (const StepError& error) {
            if (!failure) failure = error;
        }
    };
    if (entry.title) {
        part([&] {
            ws_.SetWindowTextW(window, entry.title->c_str());
            return WholeTitle(ws_, window) == *entry.title;
        });
    }
    if (entry.layering) part([&] { return PutBackLayering(window, *entry.layering); });
    // Shown last, as it was in every other respect; without activating it.
    if (entry.wasVisible.value_or(false)) {
        part([&] {
            if (ws_.IsWindowVisible(window) == 0) ws_.ShowWindow(window, api::kSwShowNa);
            return ws_.IsWindowVisible(window) != 0;
        });
    }
    if (failure) throw *failure;
}

ChangeRecord::Outcome ChangeRecord::PutBack() {
    std::vector<Named> all;
    for (const auto& [window, entry] : windows_)
        all.push_back({window, entry.process, entry.firstTitle});
    return PutBack(all);
}

ChangeRecord::Outcome ChangeRecord::PutBack(const std::vector<Named>& windows) {
    std::vector<const Entry*> chosen;
    for (const Named& named : windows) {
        if (const auto found = windows_.find(named.window); found != windows_.end()) {
            chosen.push_back(&found->second);
        }
    }
    std::sort(chosen.begin(), chosen.end(),
              [](const Entry* a, const Entry* b) { return a->order < b->order; });
    Outcome outcome;
    std::vector<Hwnd> done;
    for (const Entry* entry : chosen) {
        if (!StillThere(*entry)) {
            outcome.gone.push_back(NameOf(*entry, true));
            done.push_back(entry->window);
            continue;
        }
        try {
            Restore(*entry);
            ++outcome.restored;
            done.push_back(entry->window);
        } catch (const StepError& failure) {
            outcome.failed.emplace_back(NameOf(*entry, false), failure);
        }
    }
    for (const Hwnd window : done)
        windows_.erase(window);
    return outcome;
}

std::wstring PutBackReport(const ChangeRecord::Outcome& outcome) {
    std::wstring report = L"已恢复 " + DecimalText(outcome.restored) + L" 个窗口";
    if (!outcome.gone.empty()) {
        report += L"\r\n\r\n已不存在的窗口：";
        for (const auto& named : outcome.gone) {
            report += L"\r\n" + DecimalText(named.window) + L"（" +
                      (named.process.empty() ? L"未知进程" : named.process) + L"）";
        }
    }
    if (!outcome.failed.empty()) {
        report += L"\r\n\r\n未能恢复的窗口：";
        for (const auto& [named, failure] : outcome.failed)
            report += L"\r\n" + Line(named) + L"：" + failure.Why();
    }
    return report;
}

std::wstring UnseenQuestion(const std::vector<ChangeRecord::Named>& unseen) {
    std::wstring question = L"有 " + DecimalText(static_cast<std::int32_t>(unseen.size())) +
                            L" 个被本程序隐藏的窗口仍看不见：";
    for (std::size_t i = 0; i < unseen.size() && i < kQuestionLines; ++i)
        question += L"\r\n" + Line(unseen[i]);
    if (unseen.size() > kQuestionLines) {
        question += L"\r\n……另有 " +
                    DecimalText(static_cast<std::int32_t>(unseen.size() - kQuestionLines)) + L" 个";
    }
    return question + L"\r\n\r\n退出前把它们恢复吗？";
}

}  // namespace vindrel
