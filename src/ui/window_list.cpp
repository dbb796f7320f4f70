#include "ui/window_list.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <set>

#include "platform/conversions.h"
#include "table/window_reading.h"
#include "ui/layout.h"

namespace vindrel {

WindowList::WindowList(ControlFactory& factory, WindowSystem& ws,
                       std::function<bool(Hwnd, Pid)> changed, std::function<void(Hwnd)> chosen)
    : ws_(ws),
      changed_(std::move(changed)),
      chosen_(std::move(chosen)),
      controls_(factory, layout::kWindowList, layout::kWindowListControls) {
    for (std::size_t column = 0; column < kWindowColumns.size(); ++column) {
        lvwWindows.AddColumn(std::wstring(kWindowColumns[column]),
                             layout::kWindowColumnWidths[column]);
    }
    lvwWindows.CellText = [this](int row, int column) { return CellText(row, column); };
}

WindowList::~WindowList() {
    lvwWindows.CellText = nullptr;
    controls_.DestroyWindow();
}

void WindowList::Open(const std::optional<std::wstring>& search) {
    if (Window().Visible()) {
        if (search) txtSearch.SetText(*search);
        Window().Show();
        return;
    }
    // A list closed keeps nothing: it starts as new.
    order_.reset();
    ShowOrder();
    chkAll.SetValue(0);
    chkLost.SetValue(0);
    txtSearch.SetText(search.value_or(L""));
    Update();
    Window().Show();
    tmrRefresh.SetEnabled(true);
}

void WindowList::Close() {
    tmrRefresh.SetEnabled(false);
    all_.clear();
    shown_.clear();
    lvwWindows.SetRowCount(0);
    Window().Hide();
}

void WindowList::Update() {
    const auto start = std::chrono::steady_clock::now();
    all_ = ReadWindows(ws_, changed_);
    Refilter();
    // About once a second; where reading takes long (thousands of windows
    // on a slow machine) the next update waits longer, so that the program
    // spends at most a fifth of its time on it.
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    tmrRefresh.SetInterval(static_cast<int>(std::clamp<std::int64_t>(
        took.count() * 5, layout::kListRefresh, 5 * layout::kListRefresh)));
}

void WindowList::Tick() {
    if (Window().Visible()) Update();
}

void WindowList::Refilter() {
    // The list view keeps its selection by index: it is carried over by
    // window, as are the focus and the top row.
    std::set<Key> selected;
    for (const int row : lvwWindows.SelectedRows()) {
        if (row >= 0 && static_cast<std::size_t>(row) < shown_.size()) {
            selected.insert(KeyOf(shown_[static_cast<std::size_t>(row)]));
        }
    }
    const auto keyAt = [this](int row) -> std::optional<Key> {
        if (row < 0 || static_cast<std::size_t>(row) >= shown_.size()) return std::nullopt;
        return KeyOf(shown_[static_cast<std::size_t>(row)]);
    };
    const std::optional<Key> focused = keyAt(lvwWindows.FocusedRow());
    // The top row, or where it is gone the first row below it still there.
    std::vector<Key> fromTop;
    for (std::size_t row = static_cast<std::size_t>(std::max(lvwWindows.TopRow(), 0));
         row < shown_.size(); ++row) {
        fromTop.push_back(KeyOf(shown_[row]));
    }

    const WindowSearch search(txtSearch.Text());
    const bool everyWindow = chkAll.Value() != 0;
    const bool lost = chkLost.Value() != 0;
    shown_.clear();
    for (const WindowFacts& facts : all_) {
        const bool kept = lost ? Lost(facts) : everyWindow || ShownByDefault(facts);
        if (kept && search.Matches(facts)) shown_.push_back(facts);
    }
    if (order_) SortRows(shown_, *order_);
    // Lost windows the program changed come first: the likeliest to be its doing.
    if (lost) {
        std::stable_partition(shown_.begin(), shown_.end(),
                              [](const WindowFacts& facts) { return facts.changed; });
    }

    std::map<Key, int> rowOf;
    for (std::size_t row = 0; row < shown_.size(); ++row)
        rowOf.emplace(KeyOf(shown_[row]), static_cast<int>(row));
    std::vector<int> reselected;
    for (const Key& key : selected) {
        if (const auto found = rowOf.find(key); found != rowOf.end()) {
            reselected.push_back(found->second);
        }
    }
    std::sort(reselected.begin(), reselected.end());
    const auto refocused = focused ? rowOf.find(*focused) : rowOf.end();
    const auto top = std::find_if(fromTop.begin(), fromTop.end(),
                                  [&](const Key& key) { return rowOf.count(key) != 0; });
    lvwWindows.SetRowCount(static_cast<int>(shown_.size()));
    lvwWindows.Select(reselected, refocused != rowOf.end() ? refocused->second : -1);
    lvwWindows.SetTopRow(top != fromTop.end() ? rowOf[*top] : 0);
    lblCount.SetCaption(CountText(shown_.size(), all_.size()));
    UpdateButtons();
}

void WindowList::UpdateButtons() {
    const std::vector<const WindowFacts*> selected = SelectedFacts();
    cmdRescue.SetEnabled(!selected.empty());
    cmdBoss.SetEnabled(!selected.empty());
    cmdTopmost.SetEnabled(selected.size() == 1);
    const std::wstring caption =
        selected.size() == 1 && selected[0]->topmost ? L"取消置顶" : L"置顶";
    if (cmdTopmost.Caption() != caption) cmdTopmost.SetCaption(caption);
}

std::vector<const WindowFacts*> WindowList::SelectedFacts() const {
    std::vector<const WindowFacts*> selected;
    for (const int row : lvwWindows.SelectedRows()) {
        if (row >= 0 && static_cast<std::size_t>(row) < shown_.size())
            selected.push_back(&shown_[static_cast<std::size_t>(row)]);
    }
    return selected;
}

std::vector<LostWindow> WindowList::SelectedWindows() const {
    std::vector<LostWindow> windows;
    for (const WindowFacts* facts : SelectedFacts())
        windows.push_back({facts->window, facts->pid, facts->process, facts->title});
    return windows;
}

MonitorInfo WindowList::Monitor() const {
    ScreenRect rect{};
    ws_.GetWindowRect(Window().hWnd(), &rect);
    const std::vector<MonitorInfo> monitors = ws_.DisplayMonitors();
    const MonitorInfo* on = MonitorOf(rect, monitors);
    return on != nullptr ? *on : MonitorInfo{};
}

void WindowList::SortByClickedColumn() {
    const int column = lvwWindows.ClickedColumn();
    if (column < 0 || static_cast<std::size_t>(column) >= kWindowColumns.size()) return;
    order_ = Clicked(order_, static_cast<WindowColumn>(column));
    ShowOrder();
    Refilter();
}

void WindowList::ShowOrder() {
    for (std::size_t column = 0; column < kWindowColumns.size(); ++column) {
        lvwWindows.SetColumnCaption(static_cast<int>(column),
                                    ColumnCaption(static_cast<WindowColumn>(column), order_));
    }
}

void WindowList::Choose() {
    const int row = lvwWindows.FocusedRow();
    if (row < 0 || static_cast<std::size_t>(row) >= shown_.size()) return;
    const WindowFacts facts = shown_[static_cast<std::size_t>(row)];
    if (WindowOwner(ws_, facts.window) != facts.pid) {
        // Gone, or the handle is now another process's: the row goes.
        std::erase_if(all_, [&](const WindowFacts& each) { return KeyOf(each) == KeyOf(facts); });
        Refilter();
        return;
    }
    chosen_(facts.window);
}

std::wstring WindowList::CellText(int row, int column) const {
    if (row < 0 || static_cast<std::size_t>(row) >= shown_.size()) return {};
    if (column < 0 || static_cast<std::size_t>(column) >= kWindowColumns.size()) return {};
    return ColumnText(shown_[static_cast<std::size_t>(row)], static_cast<WindowColumn>(column));
}

}  // namespace vindrel
