#include "ui/reports.h"

#include "platform/conversions.h"
#include "platform/deadline_window_system.h"

namespace vindrel {

void Reports::Tell(const Report& report) {
    if (report.text.empty()) return;
    if (!report.restart) {
        interaction_.MsgBox(report.text, report.title);
        return;
    }
    if (interaction_.Ask(report.text, Interaction::Choices::YesNo, report.title) ==
        Interaction::Answer::Yes) {
        Restart(*report.restart);
    }
}

void Reports::Restart(const std::wstring& handle) {
    // The record goes to the new copy in a hand-over file of its own,
    // named on its command line.
    const std::optional<std::wstring> file = keeping_.HandOut();
    RestartArguments arguments;
    if (!handle.empty()) arguments.handle = HandleArgument({handle});
    if (file && !file->empty()) arguments.record = *file;
    const std::uint32_t error = rights_.StartElevated(CommandLine(arguments.List()), form_.hWnd());
    if (error != 0) {
        keeping_.KeepAfterAll();
        if (error == api::kErrorCancelled) return;  // the user said no to Windows' prompt
        throw StepError(L"无法以管理员身份启动本程序", L"启动失败，错误 " + HexCode(error), error);
    }
    // The new copy tells that it has the record by claiming that file.
    // Meanwhile this handling holds the program's other handlings back.
    if (!file || (!file->empty() && !keeping_.HandedOver(handOverTime_))) {
        keeping_.KeepAfterAll();
        interaction_.MsgBox(
            L"以管理员身份启动的新副本没有接管本程序的改动记录" +
            std::wstring(file ? L"（它没有在 " + SecondsText(handOverTime_) + L" 秒内接管）"
                              : L"（改动记录无法保存到磁盘）") +
            L"。\r\n\r\n本程序保持打开：它改动过的窗口仍可以用“恢复被本程序改动的窗口”恢复。");
        return;
    }
    form_.Close();
}

void Reports::Hold(const ScrollBar& bar, const std::function<Report()>& handling) {
    if (!bar.InGesture()) {
        Tell(handling());
        return;
    }
    try {
        Report report = handling();
        if (!held_ && !report.text.empty()) held_ = std::move(report);
    } catch (const StepError& failure) {
        if (!held_) held_ = failure;
    }
}

void Reports::GestureEnded() {
    if (!held_) return;
    const auto held = std::move(*held_);
    held_.reset();
    if (const auto* failure = std::get_if<StepError>(&held)) throw *failure;
    Tell(std::get<Report>(held));
}

}  // namespace vindrel
