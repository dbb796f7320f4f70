#include "actions/explanation.h"

#include "platform/conversions.h"

namespace vindrel {

namespace {

// The level of a program run with the user's ordinary rights (medium).
constexpr std::uint32_t kOrdinaryLevel = 0x2000;
constexpr wchar_t kHigherRule[] = L"Windows 不允许程序更改权限比它高的程序的窗口";
constexpr wchar_t kAdministratorRule[] =
    L"Windows 不允许以普通权限运行的程序更改以管理员身份运行的程序的窗口";

bool AtAdministratorLevel(const Standing& standing) {
    return standing.theirs == kAdministratorLevel;
}

}  // namespace

bool RestartCanHelp(const Standing& standing) {
    return standing.Above() && standing.kind != Standing::Kind::BeyondAdministrator &&
           !standing.elevated;
}

std::wstring Explain(const Standing& standing, const std::wstring& process, Pid pid) {
    const std::wstring who = ProcessInSentence(process, pid);
    switch (standing.kind) {
        case Standing::Kind::Above:
            if (AtAdministratorLevel(standing)) {
                // The rule as most users meet it, where this program has
                // ordinary rights; from a sandbox, the general one.
                const bool ordinary = standing.ours >= kOrdinaryLevel;
                return who + L"以管理员身份运行。" + (ordinary ? kAdministratorRule : kHigherRule) +
                       L"；以管理员身份运行本程序就可以更改它。";
            }
            return who + L"的权限比本程序高。" + kHigherRule +
                   L"；以管理员身份运行本程序就可以更改它。";
        case Standing::Kind::BeyondAdministrator:
            return who + L"的权限比管理员还高（例如以系统身份运行）。" + kHigherRule +
                   L"，以管理员身份运行本程序也不行。";
        case Standing::Kind::Unknown:
        case Standing::Kind::NotAbove:
            break;
    }
    return L"本程序无法读取" + who +
           L"的权限：它可能以管理员身份运行，也可能以系统身份运行或受到保护。" +
           (RestartCanHelp(standing)
                ? std::wstring(kAdministratorRule) + L"；以管理员身份运行本程序也许可以更改它。"
                : std::wstring(L"本程序已以管理员身份运行，Windows 仍不允许它更改这个窗口。"));
}

bool OffersRestart(const Outcome& outcome) {
    return outcome.RefusedAbove() && RestartCanHelp(outcome.standing);
}

void OfferRestart(Report& report, Hwnd window) {
    report.restart = window > 0 ? DecimalText(window) : std::wstring();
    report.text += L"\r\n\r\n要以管理员身份重新启动本程序吗？";
    if (!report.restart->empty()) {
        report.text += L"新启动的程序会带上窗口句柄 " + *report.restart + L"。";
    }
}

Report Reported(const Outcome& outcome, std::wstring_view done, std::wstring_view notDone,
                std::wstring_view head) {
    switch (outcome.kind) {
        case Outcome::Kind::Failed:
            throw *outcome.failure;
        case Outcome::Kind::Done:
        case Outcome::Kind::Unchanged:
            return {std::wstring(done)};
        default:
            break;
    }
    if (!outcome.RefusedAbove()) return {std::wstring(notDone)};
    Report report{std::wstring(head) + L"\r\n\r\n" +
                  Explain(outcome.standing, outcome.process, *outcome.owner)};
    if (RestartCanHelp(outcome.standing)) OfferRestart(report, outcome.window);
    return report;
}

std::wstring ListReason(const Outcome& outcome) {
    if (outcome.kind == Outcome::Kind::Failed) return outcome.failure->Why();
    std::wstring reason = L"窗口没有接受更改";
    if (!outcome.RefusedAbove()) return reason;
    switch (outcome.standing.kind) {
        case Standing::Kind::Above:
            return reason + (AtAdministratorLevel(outcome.standing)
                                 ? L"：它的程序以管理员身份运行"
                                 : L"：它的程序的权限比本程序高");
        case Standing::Kind::BeyondAdministrator:
            return reason + L"：它的程序的权限比管理员还高";
        default:
            return reason + L"：本程序无法读取它的程序的权限";
    }
}

}  // namespace vindrel
