#include "ui/boss_key_dialog.h"

#include <algorithm>

#include "platform/conversions.h"
#include "platform/text.h"
#include "ui/layout.h"

namespace vindrel {

BossKeyDialog::BossKeyDialog(ControlFactory& factory, WindowSystem& ws,
                             std::function<std::uint32_t(const std::optional<HotKey>&)> take,
                             std::function<void(const BossSettings&)> chosen)
    : ws_(ws),
      take_(std::move(take)),
      chosen_(std::move(chosen)),
      controls_(factory, layout::kBossKey, layout::kBossKeyControls) {
    lvwPrograms.AddColumn(L"程序", layout::kBossColumnWidths[0]);
    lvwPrograms.AddColumn(L"路径", layout::kBossColumnWidths[1]);
    lvwPrograms.AddColumn(L"状态", layout::kBossColumnWidths[2]);
    lvwPrograms.CellText = [this](int row, int column) -> std::wstring {
        const std::wstring& path = programs_.at(static_cast<std::size_t>(row));
        switch (column) {
            case 0:
                return FileNameOf(path);
            case 1:
                return path;
            default:
                return running_.Runs(path) ? L"" : L"未运行";
        }
    };
    lblHelp.SetCaption(std::wstring(layout::kBossKeyHelp));
    // However it closes but by 确定, the key in force is held again.
    Window().QueryUnload = [this] {
        if (!std::exchange(confirmed_, false)) take_(current_.key);
        return true;
    };
}

BossKeyDialog::~BossKeyDialog() {
    controls_.DestroyWindow();
}

void BossKeyDialog::Open(const BossSettings& current, std::uint32_t error,
                         const std::vector<std::wstring>& add) {
    if (!Window().Visible()) {
        current_ = current;
        programs_ = current.programs;
        running_ = ReadRunningPrograms(ws_);
        cboRunning.Clear();
        for (const std::wstring& path : running_.withWindows)
            cboRunning.AddItem(FileNameOf(path) + L"  " + path);
        hkyKey.SetValue(current.key ? ToHotKeyControl(*current.key) : 0);
        chkWin.SetValue(current.key && (current.key->modifiers & kModWin) != 0 ? 1 : 0);
        lblState.SetCaption(!current.key ? L"未生效：没有设置热键"
                            : error == 0 ? L"已生效"
                                         : KeyNotTaken(error));
        // Pressing the key now records it in the key box.
        take_(std::nullopt);
    }
    for (const std::wstring& path : add)
        AddProgram(path);
    ShowPrograms();
    Window().Show();
}

void BossKeyDialog::AddProgram(const std::wstring& path) {
    const std::wstring lower = LowerCase(path);
    if (std::none_of(programs_.begin(), programs_.end(),
                     [&](const std::wstring& p) { return LowerCase(p) == lower; })) {
        programs_.push_back(path);
    }
}

void BossKeyDialog::ShowPrograms() {
    lvwPrograms.SetRowCount(static_cast<int>(programs_.size()));
}

void BossKeyDialog::Add() {
    const int chosen = cboRunning.ListIndex();
    if (chosen < 0 || chosen >= static_cast<int>(running_.withWindows.size())) return;
    AddProgram(running_.withWindows[static_cast<std::size_t>(chosen)]);
    ShowPrograms();
}

void BossKeyDialog::Remove() {
    std::vector<int> rows = lvwPrograms.SelectedRows();
    std::sort(rows.rbegin(), rows.rend());
    for (const int row : rows) {
        if (row >= 0 && row < static_cast<int>(programs_.size())) {
            programs_.erase(programs_.begin() + row);
        }
    }
    ShowPrograms();
    lvwPrograms.Select({}, -1);
}

void BossKeyDialog::Confirm() {
    const std::uint16_t value = hkyKey.Value();
    std::optional<HotKey> key;
    if ((value & 0xFFu) != 0) key = FromHotKeyControl(value, chkWin.Value() != 0);
    if (const std::uint32_t error = take_(key); error != 0) {
        // The old key is held again once the dialog closes.
        lblState.SetCaption(KeyNotTaken(error));
        return;
    }
    current_ = {key, programs_};
    chosen_(current_);
    confirmed_ = true;
    Window().Close();
}

}  // namespace vindrel
