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
    if (*theirs <= *ours) return Standing::NotAbove;
    return *theirs > kAdministratorLevel ? Standing::BeyondAdministrator : Standing::Above;
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
    constexpr wchar_t kRule[] =
        L"Windows 不允许以普通权限运行的程序更改以管理员身份运行的程序的窗口；";
    // Starting as administrator can help only a program that is not.
    const bool offer = standing != Standing::BeyondAdministrator && !rights_.Elevated();
    std::wstring text = head + L"\r\n\r\n";
    switch (standing) {
        case Standing::Above:
            text += who + L"以管理员身份运行。" + kRule + L"以管理员身份运行本程序就可以更改它。";
            break;
        case Standing::BeyondAdministrator:
            text += who +
                    L"的权限比管理员还高（例如以系统身份运行）。Windows 不允许程序更改权限比它高"
                    L"的程序的窗口，以管理员身份运行本程序也不行。";
            break;
        default:
            text += L"本程序无法读取" + who +
                    L"的权限：它可能以管理员身份运行，也可能以系统身份运行或受到保护。" +
                    (offer ? kRule + std::wstring(L"以管理员身份运行本程序也许可以更改它。")
                           : std::wstring(L"本程序已以管理员身份运行，Windows 仍不允许它更改这个"
                                          L"窗口。"));
            break;
    }
    if (!offer) {
        interaction_.MsgBox(text, std::wstring(kResultTitle));
        return true;
    }
    // A negative handle cannot be passed on: the new program starts without one.
    const std::wstring argument = window > 0 ? DecimalText(window) : L"";
    text += L"\r\n\r\n要以管理员身份重新启动本程序吗？";
    if (!argument.empty()) text += L"新启动的程序会带上窗口句柄 " + argument + L"。";
    if (interaction_.Ask(text, Interaction::Choices::YesNo, std::wstring(kResultTitle)) ==
        Interaction::Answer::Yes) {
        RestartElevated(argument);
    }
    return true;
}

void HigherRights::RestartElevated(const std::wstring& argument) {
    const std::uint32_t error = rights_.StartElevated(argument, form_.hWnd());
    if (error == api::kErrorCancelled) return;  // the user said no to Windows' prompt
    if (error != 0) {
        throw StepError(L"无法以管理员身份启动本程序", L"启动失败，错误 " + HexCode(error), error);
    }
    form_.Close();
}

}  // namespace vindrel
