// The window list: every top-level window of the other programs, one row
// each, with a search, a filter, an order and a state column. It reads the
// windows when it opens, about once a second while open and on request,
// and keeps the selected, focused and top rows on the same windows across
// each update. Choosing a row hands its window to the main window.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "actions/window_rescue.h"
#include "platform/controls.h"
#include "platform/toolkit.h"
#include "platform/window_system.h"
#include "table/window_rows.h"
#include "ui/control_set.h"

namespace vindrel {

class WindowList {
public:
    // `changed` says which windows the change record holds; `chosen` takes
    // the window a row was chosen for.
    WindowList(ControlFactory& factory, WindowSystem& ws, std::function<bool(Hwnd, Pid)> changed,
               std::function<void(Hwnd)> chosen);
    ~WindowList();
    WindowList(const WindowList&) = delete;
    WindowList& operator=(const WindowList&) = delete;

    Form& Window() const { return controls_.Window(); }

    // Shows the list, read afresh when it was closed, or brings it forward;
    // a search text given replaces the box's.
    void Open(const std::optional<std::wstring>& search);
    // Closed by the user: it keeps nothing.
    void Close();
    // Reads the windows again.
    void Update();
    // The refresh tick: the windows are read again only while the list can
    // be seen; hidden with its minimised owner, it catches up once it
    // reappears.
    void Tick();
    // Shows the rows the search and the filter keep, in the chosen order.
    void Refilter();
    // Sorts by the clicked column, or reverses the order.
    void SortByClickedColumn();
    // The focused row's window, if it still belongs to that row's process;
    // a row whose window went leaves the list.
    void Choose();
    // 找回 and 加入老板键 are enabled while rows are selected; 置顶 while exactly one is,
    // captioned as that window's state asks.
    void UpdateButtons();
    // The windows of the selected rows, in their order.
    std::vector<LostWindow> SelectedWindows() const;
    // The monitor the list lies on.
    MonitorInfo Monitor() const;

private:
    using Key = std::pair<Hwnd, Pid>;
    static Key KeyOf(const WindowFacts& facts) { return {facts.window, facts.pid}; }
    std::wstring CellText(int row, int column) const;
    // The headers' captions for the order, ▲ or ▼ on its column.
    void ShowOrder();
    // The rows selected that the list still holds, in their order.
    std::vector<const WindowFacts*> SelectedFacts() const;

    WindowSystem& ws_;
    std::function<bool(Hwnd, Pid)> changed_;
    std::function<void(Hwnd)> chosen_;
    ControlSet controls_;
    std::vector<WindowFacts> all_;    // as last read, top of the Z order first
    std::vector<WindowFacts> shown_;  // what the list view shows, row by row
    std::optional<WindowOrder> order_;

public:
    // clang-format off
    Label& lblSearch = controls_.Get<Label>("lblSearch");
    TextBox& txtSearch = controls_.Get<TextBox>("txtSearch");
    CheckBox& chkAll = controls_.Get<CheckBox>("chkAll");
    CheckBox& chkLost = controls_.Get<CheckBox>("chkLost");
    Label& lblCount = controls_.Get<Label>("lblCount");
    ListView& lvwWindows = controls_.Get<ListView>("lvwWindows");
    Button& cmdRescue = controls_.Get<Button>("cmdRescue");
    Button& cmdTopmost = controls_.Get<Button>("cmdTopmost");
    Button& cmdBoss = controls_.Get<Button>("cmdBoss");
    Button& cmdChoose = controls_.Get<Button>("cmdChoose");
    Button& cmdRefresh = controls_.Get<Button>("cmdRefresh");
    Timer& tmrRefresh = controls_.Get<Timer>("tmrRefresh");
    // clang-format on
};

}  // namespace vindrel
