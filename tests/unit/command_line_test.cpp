// The command line: what it reads as a command and what it refuses, which
// windows a command chooses and what its exit code says, and where it runs
// (a copy at the same rights, none, one at other rights), over the fakes.
#include <gtest/gtest.h>

#include "actions/command_run.h"
#include "fakes/fake_process_rights.h"
#include "fakes/fake_record_store.h"
#include "fakes/fake_window_system.h"
#include "platform/text.h"
#include "ui/command_mode.h"

namespace vindrel::testing {
namespace {

TEST(CommandLineReading, MalformedLinesAreUsageErrorsThatSayWhy) {
    struct Case {
        std::vector<std::wstring> arguments;
        std::wstring error;  // a part of it; empty: a command
    };
    const std::vector<Case> cases{
        {{}, L"没有命令"},
        {{L"hid", L"x"}, L"不认识的命令“hid”"},
        {{L"HIDE", L"exe:Notepad.exe"}, L""},
        {{L"hide"}, L"缺少搜索条件"},
        {{L"hide", L" "}, L"搜索条件是空的"},
        {{L"hide", L"12345"}, L"pid:12345"},
        {{L"hide", L"pid:12x"}, L"冒号后面要写一个数"},
        {{L"hide", L"hwnd:0x"}, L"冒号后面要写一个数"},
        {{L"hide", L"hwnd:&H1A"}, L""},
        {{L"hide", L"pid:99999999999"}, L"冒号后面要写一个数"},
        {{L"hide", L"exe:"}, L"冒号后面是空的"},
        {{L"hide", L"a", L"b"}, L"多余的参数“b”"},
        {{L"hide", L"a", L"--al"}, L"不认识的选项“--al”"},
        {{L"hide", L"a", L"--all", L"--first"}, L"只能选一个"},
        {{L"opacity", L"101", L"a"}, L"0 到 100"},
        {{L"opacity", L"-1", L"a"}, L"0 到 100"},
        {{L"title"}, L"新的标题"},
        {{L"bosskey"}, L"hide、show 或 toggle"},
        {{L"bosskey", L"toggle", L"x"}, L"多余的参数"},
        {{L"bosskey", L"toggle", L"--all"}, L"不认识的选项"},
        {{L"list"}, L""},
        {{L"putback", L"--utf8"}, L""},
        {{L"hide", std::wstring(100000, L'窗')}, L""},
    };
    for (const Case& c : cases) {
        const CommandRead read = ReadCommand(c.arguments);
        const std::string shown = c.arguments.empty() ? "" : ToAnsi(c.arguments[0]);
        if (c.error.empty()) {
            EXPECT_FALSE(read.error) << shown << ": " << ToAnsi(*read.error);
        } else {
            ASSERT_TRUE(read.error) << shown;
            EXPECT_NE(read.error->find(c.error), std::wstring::npos) << ToAnsi(*read.error);
        }
    }
    // The percentage reads back as itself; --utf8 holds even for no command.
    for (const int percent : {0, 1, 50, 99, 100}) {
        const CommandRead read = ReadCommand({L"opacity", std::to_wstring(percent), L"a"});
        EXPECT_EQ(read.command.alpha * 100 / 255, percent);
    }
    EXPECT_TRUE(ReadCommand({L"hid", L"--utf8"}).command.utf8);
}

class CommandTest : public ::testing::Test {
protected:
    CommandTest() {
        ws.processes = {
            {10, "notepad.exe"}, {11, "chat.exe"}, {12, "admin.exe"}, {13, "explorer.exe"}};
        Add(1, 10, L"记事本");
        Add(2, 11, L"同名");
        Add(3, 11, L"同名");
        Add(4, 10, L"隐藏的记事本").visible = false;
        Add(5, 12, L"管理员窗口").refuses = true;
        Add(6, 13, L"Program Manager").className = L"Progman";
        Add(7, 11, L"屏幕外").rect = {5000, 5000, 5400, 5300};
        rights.levels[12] = FakeProcessRights::kHigh;
    }
    FakeWindow& Add(Hwnd window, Pid pid, const wchar_t* title) {
        FakeWindow& w = ws.AddWindow(window, pid);
        w.title = title;
        w.rect = {0, 0, 400, 300};
        return w;
    }
    CommandResult Run(const std::vector<std::wstring>& arguments) {
        const CommandRead read = ReadCommand(arguments);
        EXPECT_FALSE(read.error);
        return run.Run(read.command);
    }

    FakeWindowSystem ws;
    FakeProcessRights rights;
    FakeLifetimes lifetimes;
    Standings standings{ws, rights};
    ChangeRecord record{ws, lifetimes};
    ChangePath path{ws, standings, record};
    CommandRun run{ws, path, record, nullptr};
};

TEST_F(CommandTest, EachVerbLooksAmongItsOwnCandidatesAndTheExitCodeSaysWhatBecameOfThem) {
    struct Case {
        std::vector<std::wstring> arguments;
        int exitCode;
        std::vector<Hwnd> visibleAfter;
    };
    const std::vector<Case> cases{
        // Free text matches the program and the title, never the class.
        {{L"hide", L"FakeWindowClass"}, kExitNoMatch, {1, 2, 3, 5, 6, 7}},
        {{L"hide", L"同名"}, kExitSeveral, {1, 2, 3, 5, 6, 7}},
        {{L"hide", L"同名", L"--first"}, kExitDone, {1, 3, 5, 6, 7}},
        // Showing mends a hidden window only; one off screen is rescue's.
        {{L"show", L"exe:notepad.exe"}, kExitDone, {1, 3, 4, 5, 6, 7}},
        {{L"show", L"屏幕外"}, kExitNoMatch, {1, 3, 4, 5, 6, 7}},
        {{L"restore", L"记事本"}, kExitDone, {1, 3, 4, 5, 6, 7}},  // nothing needed doing
        {{L"hide", L"notepad", L"--all"}, kExitDone, {3, 5, 6, 7}},
        {{L"hide", L"notepad", L"--all"}, kExitDone, {3, 5, 6, 7}},
        // hwnd: names its window, candidate or not; the shell's never is.
        {{L"show", L"hwnd:1"}, kExitDone, {1, 3, 5, 6, 7}},
        {{L"close", L"exe:explorer.exe"}, kExitNoMatch, {1, 3, 5, 6, 7}},
        {{L"hide", L"管理员"}, kExitNotAll, {1, 3, 5, 6, 7}},
        {{L"putback", L"hwnd:5"}, kExitNoMatch, {1, 3, 5, 6, 7}},  // never recorded
        {{L"bosskey", L"toggle"}, kExitNoCopy, {1, 3, 5, 6, 7}},
    };
    for (const Case& c : cases) {
        const CommandResult result = Run(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << ToAnsi(c.arguments[1]);
        std::vector<Hwnd> visible;
        for (const FakeWindow& w : ws.windows)
            if (w.visible) visible.push_back(w.hwnd);
        EXPECT_EQ(visible, c.visibleAfter) << ToAnsi(c.arguments[1]);
    }
    const CommandResult refused = Run({L"hide", L"管理员"});
    ASSERT_EQ(refused.lines.size(), 1u);
    EXPECT_EQ(refused.lines[0],
              L"未能隐藏：窗口没有接受更改：它的程序以管理员身份运行\t5\t12\t"
              L"admin.exe\t管理员窗口");
}

// A channel whose copies and output a test sets.
struct FakeChannel : CommandChannel {
    bool redirected = true;
    std::wstring written, shown;
    std::vector<Pid> copies;
    std::vector<std::vector<std::wstring>> handed;
    HandOver answer{HandOver::Kind::Done, 0, {L"由副本执行"}};
    bool OutputRedirected() override { return redirected; }
    void Write(const std::wstring& text, bool) override { written += text; }
    void Show(const std::wstring& text) override { shown = text; }
    std::vector<Pid> Copies() override { return copies; }
    HandOver Hand(Pid, const std::vector<std::wstring>& arguments, bool, int) override {
        handed.push_back(arguments);
        return answer;
    }
    bool ShowCopy(Pid) override { return false; }
};

TEST_F(CommandTest, ACommandGoesToTheCopyAtItsRightsRunsAloneWithoutOneAndNeverPastAnother) {
    FakeRecordFolder folder;
    FakeChannel channel;
    const CommandParts parts{ws, rights, folder, lifetimes, channel};
    const std::vector<std::wstring> hide{L"hide", L"记事本"};
    rights.levels[20] = FakeProcessRights::kHigh;
    channel.copies = {20, 21};  // the administrator copy is passed over
    EXPECT_EQ(RunCommandMode(hide, parts), kExitDone);
    EXPECT_EQ(channel.handed, std::vector<std::vector<std::wstring>>{hide});
    EXPECT_EQ(channel.written, L"由副本执行\r\n");
    channel.answer.kind = HandOver::Kind::NotTaken;
    EXPECT_EQ(RunCommandMode(hide, parts), kExitNoCopy);

    channel.copies = {20};
    EXPECT_EQ(RunCommandMode(hide, parts), kExitNoCopy);
    EXPECT_TRUE(ws.Find(1)->visible);

    // Alone: done here, and on record for the next start.
    channel.copies.clear();
    EXPECT_EQ(RunCommandMode(hide, parts), kExitDone);
    EXPECT_FALSE(ws.Find(1)->visible);
    EXPECT_EQ(folder.files.size(), 1u);

    // Nowhere to write a usage error: a box says it.
    channel.redirected = false;
    EXPECT_EQ(RunCommandMode({L"hid"}, parts), kExitUsage);
    EXPECT_EQ(channel.shown.rfind(L"用法错误：", 0), 0u);
}

}  // namespace
}  // namespace vindrel::testing
