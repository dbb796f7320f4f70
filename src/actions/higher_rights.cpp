#include "actions/higher_rights.h"

#include "platform/conversions.h"
#include "platform/step_error.h"
#include "table/lookup.h"

namespace vindrel {

Standing HigherRights::Of(Hwnd window) {
    const std::optional<Pid> owner = WindowOwner(ws_, window);
    const Pid self = ws_.GetCurrentProcessId();
    if (!owner || *owner == self) return Standing::NotAbove;
    const std::optional<std::uint32_t> theirs = rights_.IntegrityLevel(*owner);
    const std::optional<std::uint32_t> ours = rights_.IntegrityLevel(self);
    if (!theirs || !ours) return Standing::Unknown;
    return *theirs > *ours ? Standing::Above : Standing::NotAbove;
}

bool HigherRights::Explain(Hwnd window, Standing standing, const std::wstring& head,
                           const std::function<bool()>& took) {
    if (standing == Standing::NotAbove || took()) return false;
    // A window gone meanwhile is no matter of rights.
    const std::optional<Pid> owner = WindowOwner(ws_, window);
    if (!owner) return false;
    const std::wstring name = ProcessName(ws_, *owner);
    const std::wstring who =
        L"“" + (name.empty() ? L"未知进程" : name) + L"”（进程 " + DecimalText(*owner) + L"）";
    const bool elevated = rights_.Elevated();
    std::wstring text = head + L"\r\n\r\n";
    if (standing == Standing::Above) {
        text += elevated ? who + L"的权限比本程序更高（例如以系统身份运行）。"
                         : who + L"以管理员身份运行。";
    } else {
        text += L"本程序无法读取" + who +
                (elevated ? L"的权限，它可能以系统身份运行或受到保护。"
                          : L"的权限，它可能以管理员身份运行。");
    }
    if (elevated) {
        text += L"Windows 不允许程序更改权限比它高的程序的窗口，以管理员身份运行也不行。";
        interaction_.MsgBox(text, std::wstring(kResultTitle));
        return true;
    }
    text +=
        L"Windows 不允许以普通权限运行的程序更改以管理员身份运行的程序的窗口；"
        L"以管理员身份运行本程序就可以更改它。\r\n\r\n"
        L"要以管理员身份重新启动本程序吗？新启动的程序会带上窗口句柄 " +
        DecimalText(window) + L"。";
    if (interaction_.Ask(text, Interaction::Choices::YesNo, std::wstring(kResultTitle)) ==
        Interaction::Answer::Yes) {
        RestartElevated(window);
    }
    return true;
}

void HigherRights::RestartElevated(Hwnd window) {
    const std::uint32_t error = rights_.StartElevated(DecimalText(window), form_.hWnd());
    if (error == api::kErrorCancelled) return;  // the user said no to Windows' prompt
    if (error != 0) {
        throw StepError(L"无法以管理员身份启动本程序", L"启动失败，错误 " + HexCode(error), error);
    }
    form_.Close();
}

}  // namespace vindrel
