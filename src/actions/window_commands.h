// The one-shot commands on the window named by the target handle box. Each
// reads the box afresh, makes one window-manager call and, for some, shows
// the result in a message box. Hiding and renaming another program's window
// are recorded first, so that they can be put back. A command that changes
// a window learns first where its program stands; on one with more rights
// than ours, what did not take effect is explained.
#pragma once

#include "actions/change_record.h"
#include "actions/higher_rights.h"
#include "platform/controls.h"
#include "platform/toolkit.h"
#include "platform/window_system.h"

namespace vindrel {

class WindowCommands {
public:
    WindowCommands(WindowSystem& ws, Interaction& interaction, ChangeRecord& record,
                   HigherRights& rights, TextBox& Text2, TextBox& Text1, TextBox& Text5)
        : ws_(ws),
          interaction_(interaction),
          record_(record),
          rights_(rights),
          Text2_(Text2),
          Text1_(Text1),
          Text5_(Text5) {}

    // "隐藏": reports whether the window is hidden afterwards; refuses the
    // program's own windows, saying why.
    void Hide();
    void Show();          // "显示"
    void Minimise();      // "最小化"
    void Restore();       // "还原"
    void Activate();      // "激活"
    void AskToClose();    // "结束该进程": posts WM_CLOSE, reports whether it was queued
    void Rename();        // "更改名字": the text of Text5, through the ANSI code page
    void CheckValid();    // "判断句柄是否有效"
    void CheckVisible();  // "判断是否隐藏": IsWindowVisible's result as a number
    void FindHandle();    // "查找句柄->": the first window of the process in Text1

private:
    void Report(bool success);
    // One call that changes the target; silent unless a window of a
    // program with more rights shows no effect of it afterwards.
    void Change(const wchar_t* failed, const std::function<void(Hwnd)>& call,
                const std::function<bool(Hwnd)>& took);

    WindowSystem& ws_;
    Interaction& interaction_;
    ChangeRecord& record_;
    HigherRights& rights_;
    TextBox& Text2_;
    TextBox& Text1_;
    TextBox& Text5_;
};

}  // namespace vindrel
