#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>

#include "platform/text.h"
#include "platform/win32/controls_win32.h"

namespace vindrel::win32 {

namespace {

// Sets a flag for as long as it lives.
class Quiet {
public:
    explicit Quiet(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Quiet() { flag_ = was_; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

private:
    bool& flag_;
    bool was_;
};

}  // namespace

Win32ListView::Win32ListView(Win32Ui& ui, const LayoutRow& row, HWND hwnd)
    : NativeControl(ui, row, hwnd) {
    const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    SendMessageW(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
}

void Win32ListView::AddColumn(const std::wstring& caption, int width) {
    widths_.push_back(width);
    std::wstring text = caption;
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = text.data();
    column.cx = ui_.Px(width);
    column.iSubItem = static_cast<int>(widths_.size()) - 1;
    SendMessageW(hwnd_, LVM_INSERTCOLUMNW, widths_.size() - 1, reinterpret_cast<LPARAM>(&column));
}

void Win32ListView::SetColumnCaption(int column, const std::wstring& caption) {
    std::wstring text = caption;
    LVCOLUMNW header{};
    header.mask = LVCF_TEXT;
    header.pszText = text.data();
    SendMessageW(hwnd_, LVM_SETCOLUMNW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&header));
}

int Win32ListView::RowCount() const {
    return static_cast<int>(SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0));
}

void Win32ListView::SetRowCount(int rows) {
    // Kept where it is and redrawn once, when the handling is over, with
    // no background erased: the list view of the common controls as linked
    // (version 5) has no double buffering.
    if (rows != RowCount()) {
        const Quiet quiet(quiet_);
        SendMessageW(hwnd_, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows),
                     LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
}

std::vector<int> Win32ListView::SelectedRows() const {
    std::vector<int> rows;
    for (int row = -1;
         (row = static_cast<int>(SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                              LVNI_SELECTED))) >= 0;) {
        rows.push_back(row);
    }
    return rows;
}

int Win32ListView::FocusedRow() const {
    return static_cast<int>(
        SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void Win32ListView::Select(const std::vector<int>& rows, int focused) {
    const auto setState = [this](int row, UINT state, UINT mask) {
        LVITEMW item{};
        item.state = state;
        item.stateMask = mask;
        SendMessageW(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
    };
    const Quiet quiet(quiet_);
    // Only what differs changes (each change redraws its row).
    const std::vector<int> before = SelectedRows();
    std::vector<int> wanted = rows;
    std::sort(wanted.begin(), wanted.end());
    for (const int row : before) {
        if (!std::binary_search(wanted.begin(), wanted.end(), row)) setState(row, 0, LVIS_SELECTED);
    }
    for (const int row : wanted) {
        if (!std::binary_search(before.begin(), before.end(), row)) {
            setState(row, LVIS_SELECTED, LVIS_SELECTED);
        }
    }
    if (const int was = FocusedRow(); was != focused) {
        if (was >= 0) setState(was, 0, LVIS_FOCUSED);
        if (focused >= 0) setState(focused, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    if (focused >= 0) SendMessageW(hwnd_, LVM_SETSELECTIONMARK, 0, focused);
}

int Win32ListView::TopRow() const {
    return static_cast<int>(SendMessageW(hwnd_, LVM_GETTOPINDEX, 0, 0));
}

void Win32ListView::SetTopRow(int row) {
    RECT first{};
    first.left = LVIR_BOUNDS;
    if (RowCount() == 0 ||
        !SendMessageW(hwnd_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first))) {
        return;
    }
    const int height = first.bottom - first.top;
    const int by = (row - TopRow()) * height;
    if (by != 0) SendMessageW(hwnd_, LVM_SCROLL, 0, by);
}

bool Win32ListView::OnNotify(const NMHDR& header, LRESULT& result) {
    switch (header.code) {
        case LVN_GETDISPINFOW: {
            // Drawing: answered at once from the program's rows.
            auto& item = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header));
            if ((item.item.mask & LVIF_TEXT) != 0 && item.item.cchTextMax > 0) {
                const std::wstring text =
                    CellText ? CellText(item.item.iItem, item.item.iSubItem) : std::wstring();
                const auto count = std::min<std::size_t>(
                    text.size(), static_cast<std::size_t>(item.item.cchTextMax - 1));
                std::copy_n(text.data(), count, item.item.pszText);
                item.item.pszText[count] = L'\0';
            }
            result = 0;
            return true;
        }
        case LVN_ODFINDITEMW: {
            // A character typed in the list: the next row whose first
            // column starts with what was typed, from the start row round.
            const auto& find = reinterpret_cast<const NMLVFINDITEMW&>(header);
            result = -1;
            const int rows = RowCount();
            if (CellText && (find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) != 0 &&
                find.lvfi.psz != nullptr && rows > 0) {
                const std::wstring typed = LowerCase(find.lvfi.psz);
                const int start = std::clamp(find.iStart, 0, rows - 1);
                for (int i = 0; i < rows; ++i) {
                    const int row = (start + i) % rows;
                    if (LowerCase(CellText(row, 0)).rfind(typed, 0) == 0) {
                        result = row;
                        break;
                    }
                }
            }
            return true;
        }
        case LVN_COLUMNCLICK: {
            const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
            ui_.dispatch.Command([hwnd = hwnd_, column] {
                if (auto* view = dynamic_cast<Win32ListView*>(NativeControl::From(hwnd))) {
                    view->UserClickedColumn(column);
                }
            });
            result = 0;
            return true;
        }
        case LVN_ITEMCHANGED:
        case LVN_ODSTATECHANGED: {
            // A virtual list says a range's change in one LVN_ODSTATECHANGED.
            const bool selection =
                header.code == LVN_ITEMCHANGED
                    ? ((reinterpret_cast<const NMLISTVIEW&>(header).uOldState ^
                        reinterpret_cast<const NMLISTVIEW&>(header).uNewState) &
                       LVIS_SELECTED) != 0
                    : ((reinterpret_cast<const NMLVODSTATECHANGE&>(header).uOldState ^
                        reinterpret_cast<const NMLVODSTATECHANGE&>(header).uNewState) &
                       LVIS_SELECTED) != 0;
            if (selection && !quiet_ && !changeQueued_) {
                changeQueued_ = true;
                ui_.dispatch.Command([hwnd = hwnd_] {
                    if (auto* view = dynamic_cast<Win32ListView*>(NativeControl::From(hwnd))) {
                        view->changeQueued_ = false;
                        view->SelectionChange.Raise();
                    }
                });
            }
            result = 0;
            return true;
        }
        case NM_DBLCLK:
            if (reinterpret_cast<const NMITEMACTIVATE&>(header).iItem >= 0) {
                ui_.dispatch.Command([hwnd = hwnd_] {
                    if (auto* view = dynamic_cast<Win32ListView*>(NativeControl::From(hwnd))) {
                        view->DblClick.Raise();
                    }
                });
            }
            result = 0;
            return true;
        default:
            return false;
    }
}

void Win32ListView::OnDpiChanged() {
    for (std::size_t column = 0; column < widths_.size(); ++column) {
        SendMessageW(hwnd_, LVM_SETCOLUMNWIDTH, column, ui_.Px(widths_[column]));
    }
}

}  // namespace vindrel::win32
