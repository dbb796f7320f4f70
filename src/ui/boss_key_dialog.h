// The dialog "老板键": the programs whose windows the key hides, each by its
// full path and marked when it does not run; the running programs to add
// from; the key, and whether it took. A new key is tried on the main
// window before it replaces the old one, which keeps working when the new
// one cannot be had. While the dialog is open the program lets its own key
// go, so that pressing it in the key box records it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "actions/boss_key.h"
#include "actions/boss_settings.h"
#include "platform/controls.h"
#include "platform/toolkit.h"
#include "platform/window_system.h"
#include "ui/control_set.h"

namespace vindrel {

class BossKeyDialog {
public:
    // `take` tries a key on the main window (nullopt lets it go): 0 when it
    // took, else the system's error. `chosen` keeps the settings 确定 set.
    BossKeyDialog(ControlFactory& factory, WindowSystem& ws,
                  std::function<std::uint32_t(const std::optional<HotKey>&)> take,
                  std::function<void(const BossSettings&)> chosen);
    ~BossKeyDialog();
    BossKeyDialog(const BossKeyDialog&) = delete;
    BossKeyDialog& operator=(const BossKeyDialog&) = delete;

    Form& Window() const { return controls_.Window(); }

    // Shows the settings in force (`error`: why their key did not take, 0
    // when it did), with the programs of `add` added, or brings it forward.
    void Open(const BossSettings& current, std::uint32_t error,
              const std::vector<std::wstring>& add = {});
    // 添加: the running program chosen in the drop-down list.
    void Add();
    // 移除: the selected programs.
    void Remove();
    // 确定: the key is tried; one that cannot be had keeps the dialog open
    // and says why; the old key is held again when it closes.
    void Confirm();

private:
    void ShowPrograms();
    void AddProgram(const std::wstring& path);

    WindowSystem& ws_;
    std::function<std::uint32_t(const std::optional<HotKey>&)> take_;
    std::function<void(const BossSettings&)> chosen_;
    ControlSet controls_;
    BossSettings current_;
    std::vector<std::wstring> programs_;
    RunningPrograms running_;
    bool confirmed_ = false;

public:
    // clang-format off
    Label& lblPrograms = controls_.Get<Label>("lblPrograms");
    ListView& lvwPrograms = controls_.Get<ListView>("lvwPrograms");
    Button& cmdRemove = controls_.Get<Button>("cmdRemove");
    Label& lblRunning = controls_.Get<Label>("lblRunning");
    ComboBox& cboRunning = controls_.Get<ComboBox>("cboRunning");
    Button& cmdAdd = controls_.Get<Button>("cmdAdd");
    Label& lblKey = controls_.Get<Label>("lblKey");
    HotKeyBox& hkyKey = controls_.Get<HotKeyBox>("hkyKey");
    CheckBox& chkWin = controls_.Get<CheckBox>("chkWin");
    Label& lblState = controls_.Get<Label>("lblState");
    Label& lblHelp = controls_.Get<Label>("lblHelp");
    Button& cmdOK = controls_.Get<Button>("cmdOK");
    Button& cmdCancel = controls_.Get<Button>("cmdCancel");
    // clang-format on
};

}  // namespace vindrel
