// The one-shot commands on the window named by the target handle box. Each
// reads the box afresh and makes one window-manager call; a command that
// changes a window makes it through the change path and hands back what
// the user is to be told.
#pragma once

#include "actions/change_path.h"
#include "actions/messages.h"
#include "actions/window_changes.h"
#include "platform/controls.h"
#include "platform/window_system.h"

namespace vindrel {

class WindowCommands {
public:
    WindowCommands(WindowSystem& ws, ChangePath& path, Form& form, TextBox& Text2, TextBox& Text1,
                   TextBox& Text5)
        : ws_(ws), path_(path), form_(form), Text2_(Text2), Text1_(Text1), Text5_(Text5) {}

    // "隐藏": whether the window is hidden afterwards; the program's own
    // windows are refused, saying why.
    Report Hide();
    Report Show();      // "显示"
    Report Minimise();  // "最小化"
    Report Restore();   // "还原"
    void Activate();    // "激活"
    // "结束该进程": posts WM_CLOSE, saying whether it was queued. The main
    // window closes as its close box would; the program's other windows
    // are refused.
    Report AskToClose();
    Report Rename();        // "更改名字": the text of Text5, through the ANSI code page
    Report CheckValid();    // "判断句柄是否有效"
    Report CheckVisible();  // "判断是否隐藏": IsWindowVisible's result as a number
    void FindHandle();      // "查找句柄->": the first window of the process in Text1
    // "置顶" and "取消置顶" in the window list, on the window of that
    // process: keeps it above the others or lets it go, without moving,
    // sizing or activating it. Nothing to tell when it took. An owned
    // window is refused, with the reason: making it non-topmost would make
    // its owners so too.
    Report SetTopmost(Hwnd window, Pid pid, bool topmost);

private:
    WindowSystem& ws_;
    ChangePath& path_;
    Form& form_;
    TextBox& Text2_;
    TextBox& Text1_;
    TextBox& Text5_;
    WindowChanges changes_{ws_, path_};
};

}  // namespace vindrel
