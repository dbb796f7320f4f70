#include "ui/reports.h"

#include "platform/conversions.h"

namespace vindrel {

void Reports::Tell(const Report& report) {
    if (report.text.empty()) return;
    if (!report.restart) {
        interaction_.MsgBox(report.text, report.title);
        return;
    }
    if (interaction_.Ask(report.text, Interaction::Choices::YesNo, report.title) !=
        Interaction::Answer::Yes) {
        return;
    }
    const std::uint32_t error = rights_.StartElevated(*report.restart, form_.hWnd());
    if (error == api::kErrorCancelled) return;  // the user said no to Windows' prompt
    if (error != 0) {
        throw StepError(L"无法以管理员身份启动本程序", L"启动失败，错误 " + HexCode(error), error);
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
