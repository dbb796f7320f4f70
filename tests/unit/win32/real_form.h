// The main window built in the test's own process by the real toolkit, over
// a fake window system, with its controls found by their design names.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

#include "fakes/fake_process_rights.h"
#include "fakes/fake_record_store.h"
#include "fakes/fake_window_system.h"
#include "platform/layout_row.h"
#include "platform/win32/completion_win32.h"
#include "platform/win32/toolkit_win32.h"
#include "ui/form1.h"
#include "ui/layout.h"

namespace vindrel::testing {

struct RealForm {
    RealForm(Interaction& interaction, WindowSystem& ws)
        : wmi(ws, kListingDeadline, std::make_shared<win32::AnsweringCompletions>()),
          form(std::make_unique<Form1>(toolkit, interaction, ws, wmi, rights, folder, lifetimes)) {
        form->Form_Load();
        main = reinterpret_cast<HWND>(static_cast<std::intptr_t>(form->Window().hWnd()));
        ShowWindow(main, SW_SHOW);
    }
    explicit RealForm(WindowSystem& ws) : RealForm(toolkit, ws) {}
    RealForm(const RealForm&) = delete;
    RealForm& operator=(const RealForm&) = delete;

    HWND Control(std::string_view name) const {
        const LayoutRow& row = layout::Find(name);
        const HWND parent = row.container == "Form1" ? main : Control(row.container);
        return GetDlgItem(parent, ControlId(row));
    }
    // What a control tells its container when the user uses it, sent (or
    // posted, as another thread's input would arrive).
    void Notify(std::string_view name, int code, bool post = false) const {
        const auto wParam = MAKEWPARAM(ControlId(layout::Find(name)), code);
        const auto lParam = reinterpret_cast<LPARAM>(Control(name));
        post ? PostMessageW(main, WM_COMMAND, wParam, lParam)
             : SendMessageW(main, WM_COMMAND, wParam, lParam);
    }

    win32::Win32Toolkit toolkit{GetModuleHandleW(nullptr), 0, 0};
    FakeProcessRights rights;
    FakeRecordFolder folder;
    FakeLifetimes lifetimes;
    WmiListing wmi;
    std::unique_ptr<Form1> form;
    HWND main = nullptr;
};

}  // namespace vindrel::testing
