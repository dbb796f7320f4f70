#include "ui/command_mode.h"

#include "actions/command_run.h"
#include "actions/record_keeping.h"
#include "platform/conversions.h"

namespace vindrel {

namespace {

// Runs a command in this process: its changes on record from the first,
// marked as left by the user.
CommandResult RunAlone(const Command& command, const CommandParts& parts) {
    Standings standings(parts.ws, parts.rights);
    ChangeRecord record(parts.ws, parts.lifetimes);
    RecordKeeping keeping(record, parts.folder, parts.lifetimes);
    ChangePath path(parts.ws, standings, record);
    CommandRun run(parts.ws, path, record, nullptr);
    record.Changed = [&keeping] { keeping.Save(); };
    // Only putting back takes in what other copies left; what the next
    // start was to ask about (a copy killed) is still asked about then.
    if (command.verb->verb != Verb::PutBack || keeping.TakeOver().empty()) keeping.LeftByUser();
    CommandResult result = run.Run(command);
    keeping.Save();
    keeping.Ended();
    for (const std::wstring& notice : keeping.TakeNotices())
        result.lines.push_back(notice);
    return result;
}

std::wstring CopyName(Pid copy) {
    return L"正在运行的本程序（进程 " + DecimalText(static_cast<std::int32_t>(copy)) + L"）";
}

// A running copy of the program at this process's rights, and one at other
// rights, where they run.
struct RunningCopies {
    std::optional<Pid> same, other;
};

RunningCopies FindCopies(WindowSystem& ws, ProcessRights& rights, CommandChannel& channel) {
    const Pid self = ws.GetCurrentProcessId();
    const std::optional<std::uint32_t> ours = rights.IntegrityLevel(self);
    RunningCopies found;
    for (const Pid copy : channel.Copies()) {
        if (copy == self) continue;
        (rights.IntegrityLevel(copy) == ours ? found.same : found.other) = copy;
        if (found.same) break;
    }
    return found;
}

}  // namespace

bool ShownRunningCopy(WindowSystem& ws, CommandChannel& channel) {
    // One run as administrator too: this request alone passes its filter.
    for (const Pid copy : channel.Copies())
        if (copy != ws.GetCurrentProcessId() && channel.ShowCopy(copy)) return true;
    return false;
}

int RunCommandMode(const std::vector<std::wstring>& arguments, const CommandParts& parts) {
    const CommandRead read = ReadCommand(arguments);
    CommandChannel& channel = parts.channel;
    const auto answer = [&](int exitCode, const std::vector<std::wstring>& lines) {
        if (channel.OutputRedirected()) {
            std::wstring text;
            for (const std::wstring& line : lines)
                text += line + L"\r\n";
            channel.Write(text, read.command.utf8);
        }
        return exitCode;
    };
    if (read.error) {
        const std::wstring usage = UsageText(*read.error);
        if (!channel.OutputRedirected()) {
            channel.Show(usage);
            return kExitUsage;
        }
        return answer(kExitUsage, {usage});
    }
    // A copy at this process's rights takes it; one at other rights may
    // not be driven from here, nor be bypassed.
    const RunningCopies copies = FindCopies(parts.ws, parts.rights, channel);
    if (const std::optional<Pid> copy = copies.same) {
        const HandOver handed = channel.Hand(
            *copy, arguments, read.command.verb->verb == Verb::Activate, kTakeWithinMs);
        switch (handed.kind) {
            case HandOver::Kind::Done:
                return answer(handed.exitCode, handed.lines);
            case HandOver::Kind::NotTaken:
                return answer(
                    kExitNoCopy,
                    {CopyName(*copy) + L"5 秒内没有接受命令：它可能正忙，或正等着回答一个对话框"});
            case HandOver::Kind::Ended:
                return answer(kExitNoCopy, {CopyName(*copy) + L"在执行命令时退出了"});
            case HandOver::Kind::Hung:
                return answer(kExitNoCopy,
                              {CopyName(*copy) + L"开始执行命令后没有响应：命令可能只做了一部分"});
        }
    }
    if (copies.other) {
        return answer(kExitNoCopy,
                      {CopyName(*copies.other) +
                       L"以不同的权限运行（例如以管理员身份）：命令不能交给它，也不在它之外执行。"
                       L"请以同样的权限执行命令"});
    }
    const CommandResult result = RunAlone(read.command, parts);
    return answer(result.exitCode, result.lines);
}

}  // namespace vindrel
