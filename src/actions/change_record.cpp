#include "actions/change_record.h"

#include <algorithm>
#include <functional>

#include "actions/change_path.h"
#include "actions/explanation.h"
#include "platform/conversions.h"

namespace vindrel {

namespace {

std::wstring Line(const ChangeRecord::Named& named) {
    return WindowInList(named.process, named.title, named.window);
}

}  // namespace

void ChangeRecord::Before(const Setting& setting, Hwnd window, ProcessNames& names) {
    const std::optional<Pid> owner = WindowOwner(ws_, window);
    if (!owner || *owner == ws_.GetCurrentProcessId()) return;
    auto found = windows_.find(window);
    if (found == windows_.end() || found->second.pid != *owner) {
        // New, or a handle now of another process: what was recorded for
        // the old one no longer applies.
        Entry entry;
        entry.window = window;
        entry.pid = *owner;
        entry.created = lifetimes_.Created(*owner).value_or(0);
        entry.className = ClassOf(ws_, window);
        entry.order = next_++;
        entry.process = names.Of(*owner);
        entry.firstTitle = WholeTitle(ws_, window);
        found = windows_.insert_or_assign(window, std::move(entry)).first;
    }
    Entry& entry = found->second;
    switch (setting.aspect) {
        case Aspect::Hide:
            if (OwnVisible(ws_, window)) {
                entry.hid = true;
                if (setting.boss) entry.boss = setting.boss;
            }
            break;
        case Aspect::Opacity:
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
            entry.setAlpha = setting.alpha;
            break;
        case Aspect::Title:
            if (!entry.title) entry.title = WholeTitle(ws_, window);
            entry.setTitle = setting.title;
            break;
        case Aspect::Topmost:
            if (!entry.topmost && Topmost(ws_, window) == setting.topmost) break;
            if (!entry.topmost) entry.topmost = Topmost(ws_, window);
            entry.setTopmost = setting.topmost;
            break;
    }
    if (entry.Empty()) {
        windows_.erase(found);
    } else if (batches_ > 0) {
        heldBack_ = true;
    } else if (Changed) {
        Changed();
    }
}

std::vector<RecordedWindow> ChangeRecord::BossHidden() {
    std::vector<RecordedWindow> hidden;
    for (const Entry* entry : There())
        if (entry->boss && entry->hid && !OwnVisible(ws_, entry->window)) hidden.push_back(*entry);
    return hidden;
}

std::vector<const ChangeRecord::Entry*> ChangeRecord::There() const {
    std::vector<const Entry*> there;
    for (const auto& [window, entry] : windows_)
        if (WindowOwner(ws_, window) == entry.pid) there.push_back(&entry);
    std::sort(there.begin(), there.end(),
              [](const Entry* a, const Entry* b) { return a->order < b->order; });
    return there;
}

std::vector<RecordedWindow> ChangeRecord::Windows() const {
    std::vector<RecordedWindow> windows;
    for (const Entry* entry : There())
        windows.push_back(*entry);
    return windows;
}

std::vector<ChangeRecord::Named> ChangeRecord::Adopt(const std::vector<RecordedWindow>& windows) {
    std::vector<Named> adopted;
    for (const RecordedWindow& recorded : windows) {
        const Hwnd window = recorded.window;
        const auto held = windows_.find(window);
        // Never the program's own windows (another copy may have changed them).
        // Nor where the process's start could not be read when recorded.
        if ((held != windows_.end() && held->second.pid != recorded.pid) ||
            recorded.pid == ws_.GetCurrentProcessId() || recorded.created == 0 ||
            WindowOwner(ws_, window) != recorded.pid ||
            lifetimes_.Created(recorded.pid).value_or(0) != recorded.created ||
            ClassOf(ws_, window) != recorded.className) {
            continue;  // another window or another process now
        }
        Entry entry;
        static_cast<RecordedWindow&>(entry) = recorded;
        // Only what still shows a change: a window shown again, or one that
        // has since set its own title or alpha, keeps it, and so does one
        // the program set back as it was.
        entry.hid = recorded.hid && !OwnVisible(ws_, window);
        if (!entry.hid) entry.boss.reset();
        const Layering now = LayeringOf(ws_, window);
        const bool atSetAlpha = now.Alpha() == recorded.setAlpha;
        if (!entry.layering || !atSetAlpha || now == *entry.layering) entry.layering.reset();
        const std::wstring title = WholeTitle(ws_, window);
        if (!entry.title || title != recorded.setTitle || title == *entry.title) {
            entry.title.reset();
        }
        const bool topmost = Topmost(ws_, window);
        if (!entry.topmost || topmost != recorded.setTopmost || topmost == *entry.topmost) {
            entry.topmost.reset();
        }
        if (held != windows_.end()) {
            TakeEarlier(held->second, entry, recorded);
            continue;
        }
        if (entry.Empty()) continue;
        entry.order = next_++;
        entry.firstTitle = title;
        adopted.push_back(NameOf(entry, false));
        windows_.emplace(window, std::move(entry));
    }
    return adopted;
}

void ChangeRecord::TakeEarlier(Entry& mine, const Entry& still, const RecordedWindow& earlier) {
    // The other copy changed the window first: an aspect only it changed
    // is taken as adoption takes it, and where this copy's state before is
    // what the other set, the other's state before is the window's own.
    mine.hid = mine.hid || still.hid;
    if (!mine.boss) mine.boss = still.boss;
    if (!mine.layering) {
        mine.layering = still.layering;
        mine.setAlpha = still.setAlpha;
    } else if (earlier.layering && mine.layering->layered &&
               mine.layering->alpha == earlier.setAlpha) {
        mine.layering = earlier.layering;
    }
    if (!mine.topmost) {
        mine.topmost = still.topmost;
        mine.setTopmost = still.setTopmost;
    } else if (earlier.topmost && *mine.topmost == earlier.setTopmost) {
        mine.topmost = earlier.topmost;
    }
    if (!mine.title) {
        mine.title = still.title;
        mine.setTitle = still.setTitle;
    } else if (earlier.title && *mine.title == earlier.setTitle) {
        mine.title = earlier.title;
    }
}

ChangeRecord::Held ChangeRecord::Hold(Hwnd window) {
    Held held;
    held.window_ = window;
    if (const auto found = windows_.find(window); found != windows_.end()) {
        held.entry_ = found->second;
    }
    held.layering_ = LayeringOf(ws_, window);
    return held;
}

void ChangeRecord::Drop(const Held& held) {
    if (held.entry_) {
        windows_.insert_or_assign(held.window_, *held.entry_);
    } else {
        windows_.erase(held.window_);
    }
}

bool ChangeRecord::Unchanged(const Held& held, Aspect aspect) {
    return aspect != Aspect::Opacity || LayeringOf(ws_, held.window_) == held.layering_;
}

void ChangeRecord::Forget(Aspect aspect, Hwnd window) {
    const auto found = windows_.find(window);
    if (found == windows_.end()) return;
    Entry& entry = found->second;
    switch (aspect) {
        case Aspect::Hide:
            entry.hid = false;
            entry.boss.reset();
            break;
        case Aspect::Opacity:
            entry.layering.reset();
            break;
        case Aspect::Title:
            entry.title.reset();
            break;
        case Aspect::Topmost:
            entry.topmost.reset();
            break;
    }
    if (entry.Empty()) windows_.erase(found);
}

void ChangeRecord::Took(Aspect aspect, Hwnd window) {
    const auto found = windows_.find(window);
    if (aspect == Aspect::Topmost && found != windows_.end() && found->second.topmost &&
        Topmost(ws_, window) == *found->second.topmost) {
        Forget(aspect, window);
    }
}

ChangeRecord::Named ChangeRecord::NameOf(const Entry& entry, bool gone) {
    return {entry.window, entry.process, gone ? entry.firstTitle : WholeTitle(ws_, entry.window)};
}

std::vector<ChangeRecord::Named> ChangeRecord::Unseen() {
    std::vector<Named> named;
    for (const Entry* entry : There()) {
        const bool hidden = entry->hid && !OwnVisible(ws_, entry->window);
        const bool faint = entry->layering && !TooFaint(*entry->layering) &&
                           TooFaint(LayeringOf(ws_, entry->window));
        if (hidden || faint) named.push_back(NameOf(*entry, false));
    }
    return named;
}

void PutBackLayering(WindowSystem& ws, Hwnd window, const Layering& was) {
    const std::int32_t style = ws.GetWindowLongA(window, api::kGwlExStyle);
    if (!was.layered) {
        if ((style & api::kWsExLayered) != 0) {
            ws.SetWindowLongA(window, api::kGwlExStyle, style & ~api::kWsExLayered);
        }
        return;
    }
    if ((style & api::kWsExLayered) == 0) {
        ws.SetWindowLongA(window, api::kGwlExStyle, style | api::kWsExLayered);
    }
    ws.SetLayeredWindowAttributes(window, *was.key, was.alpha, *was.flags);
}

void ChangeRecord::PutBackAspects(const Entry& entry) {
    const Hwnd window = entry.window;
    // Every aspect is put back, even one that reads as recorded already: a change
    // that missed its deadline may still be pending there, and a call that
    // fails for it keeps the window in the record. A window may refuse one
    // aspect (one that sets its own title again) and take the others.
    std::optional<StepError> failure;
    const auto putBackAspect = [&](const std::function<void()>& putBack) {
        try {
            putBack();
        } catch (const StepError& error) {
            if (!failure) failure = error;
        }
    };
    if (entry.title) putBackAspect([&] { ws_.SetWindowTextW(window, entry.title->c_str()); });
    if (entry.layering) putBackAspect([&] { PutBackLayering(ws_, window, *entry.layering); });
    if (entry.topmost) {
        putBackAspect([&] {
            ws_.SetWindowPos(window, *entry.topmost ? api::kHwndTopmost : api::kHwndNoTopmost, 0, 0,
                             0, 0, api::kSwpNoMove | api::kSwpNoSize | api::kSwpNoActivate);
        });
    }
    // Shown last, as it was in every other respect; without activating it.
    if (entry.hid) putBackAspect([&] { ws_.ShowWindow(window, api::kSwShowNa); });
    if (failure) throw *failure;
}

bool ChangeRecord::AsRecorded(const Entry& entry) {
    const Hwnd window = entry.window;
    return (!entry.title || WholeTitle(ws_, window) == *entry.title) &&
           (!entry.layering || LayeringOf(ws_, window) == *entry.layering) &&
           (!entry.topmost || Topmost(ws_, window) == *entry.topmost) &&
           (!entry.hid || OwnVisible(ws_, window));
}

std::vector<ChangeRecord::PutBackResult> ChangeRecord::PutBack(ChangePath& path) {
    std::vector<Named> all;
    for (const auto& [window, entry] : windows_)
        all.push_back({window, entry.process, entry.firstTitle});
    return PutBack(path, all);
}

std::vector<ChangeRecord::PutBackResult> ChangeRecord::PutBack(ChangePath& path,
                                                               const std::vector<Named>& windows) {
    std::vector<Entry> chosen;
    for (const Named& named : windows) {
        if (const auto found = windows_.find(named.window); found != windows_.end()) {
            chosen.push_back(found->second);
        }
    }
    std::sort(chosen.begin(), chosen.end(),
              [](const Entry& a, const Entry& b) { return a.order < b.order; });
    ProcessNames names(ws_);
    std::vector<PutBackResult> results;
    for (const Entry& entry : chosen) {
        const Outcome outcome =
            path.Run(entry.window,
                     // Shown again, a window is no longer one the program keeps
                     // hidden, whatever became of its other aspects.
                     {.owner = entry.pid,
                      .shows = true,
                      .call =
                          [&](Hwnd) {
                              // Counted only where it was not so already.
                              const bool differs = !AsRecorded(entry);
                              PutBackAspects(entry);
                              return differs;
                          },
                      .readBack = [&](Hwnd) { return TookIf(AsRecorded(entry)); }},
                     names);
        const bool gone = outcome.kind == Outcome::Kind::Gone;
        results.push_back({NameOf(entry, gone), outcome});
        if (gone || outcome.kind == Outcome::Kind::Done ||
            outcome.kind == Outcome::Kind::Unchanged) {
            windows_.erase(entry.window);
        }
    }
    return results;
}

namespace {

// The windows gone and those that failed, under `head`; the first failure
// that a restart as administrator would mend is offered.
Report ResultsReport(std::wstring head, const std::vector<ChangeRecord::PutBackResult>& results,
                     bool offer) {
    WindowSection gone{L"已不存在的窗口：", {}}, failed{L"未能恢复的窗口：", {}};
    const Outcome* offered = nullptr;
    for (const auto& [named, outcome] : results) {
        switch (outcome.kind) {
            case Outcome::Kind::Gone:
                gone.lines.push_back(Line(named));
                break;
            case Outcome::Kind::Refused:
            case Outcome::Kind::Failed:
                failed.lines.push_back(Line(named) + L"：" + ListReason(outcome));
                if (!offered && OffersRestart(outcome)) offered = &outcome;
                break;
            default:
                break;
        }
    }
    Report report{WindowsMessage(std::move(head), {gone, failed}), std::nullopt};
    if (offer && offered) OfferRestart(report, offered->window);
    return report;
}

}  // namespace

Report PutBackReport(const std::vector<ChangeRecord::PutBackResult>& results, bool offer) {
    const auto count = std::count_if(results.begin(), results.end(), [](const auto& result) {
        return result.outcome.kind == Outcome::Kind::Done;
    });
    return ResultsReport(L"已恢复 " + DecimalText(static_cast<std::int32_t>(count)) + L" 个窗口",
                         results, offer);
}

Report BossReport(const std::vector<ChangeRecord::PutBackResult>& failed) {
    return ResultsReport(L"老板键没能隐藏或恢复 " +
                             DecimalText(static_cast<std::int32_t>(failed.size())) + L" 个窗口",
                         failed, true);
}

WindowSection WindowLines(const std::vector<ChangeRecord::Named>& windows) {
    WindowSection section;
    for (const ChangeRecord::Named& named : windows)
        section.lines.push_back(Line(named));
    return section;
}

std::wstring UnseenQuestion(const std::vector<ChangeRecord::Named>& unseen) {
    return WindowsMessage(L"有 " + DecimalText(static_cast<std::int32_t>(unseen.size())) +
                              L" 个被本程序隐藏的窗口仍看不见：",
                          {WindowLines(unseen)}, L"\r\n\r\n退出前把它们恢复吗？");
}

}  // namespace vindrel
