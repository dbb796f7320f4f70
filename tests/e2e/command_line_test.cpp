// Commands of the command line, run as scripts run them: started with their
// output in a file (cmd turns a pipe into one under Wine), their exit code
// read; alone, handed to a running copy, and left for the next start.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "driver.h"

namespace vindrel::e2e {
namespace {

std::wstring Command(const std::wstring& arguments) {
    return L"\"" + SiblingPath(L"Vindrel.exe") + L"\" " + arguments;
}

// The text as the program writes it by default: the OEM code page, GBK here.
std::string Gbk(const std::wstring& text) {
    std::string bytes(text.size() * 4, '\0');
    const int size =
        WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(size));
    return bytes;
}

bool Has(const std::string& output, const std::wstring& text) {
    return output.find(Gbk(text)) != std::string::npos;
}

bool Visible(HWND window) {
    return IsWindowVisible(window) != FALSE;
}

TEST(CommandLine, ASearchChoosesTheWindowsAndTheExitCodeSaysWhatBecameOfThem) {
    const std::wstring appData = NewFolder();
    const std::wstring exe = NewFolder() + L"\\命令目标.exe";
    ASSERT_TRUE(CopyFileW(SiblingPath(L"target_window.exe").c_str(), exe.c_str(), TRUE));
    const Target own(L"命令行的目标窗口", Target::Mode::Plain, nullptr, exe);
    const Target first(L"同名窗口"), second(L"同名窗口");
    const std::wstring handle = HandleText(own.Window());
    const std::wstring pid = std::to_wstring(own.Program().Id());

    Ran ran = RunToEnd(Command(L"hide exe:命令目标.exe"), appData);
    EXPECT_EQ(ran.exitCode, 0u) << ran.output;
    EXPECT_FALSE(Visible(own.Window()));
    EXPECT_TRUE(Visible(first.Window()) && Visible(second.Window()));
    EXPECT_TRUE(Has(ran.output,
                    L"已隐藏\t" + handle + L"\t" + pid + L"\t命令目标.exe\t命令行的目标窗口\r\n"))
        << ran.output;

    // The hidden window is listed only when asked, with its title in GBK.
    EXPECT_EQ(RunToEnd(Command(L"list exe:命令目标.exe"), appData).exitCode, 4u);
    ran = RunToEnd(Command(L"list exe:" + exe + L" --hidden"), appData);
    EXPECT_EQ(ran.exitCode, 0u);
    EXPECT_TRUE(Has(ran.output, L"命令目标.exe\t" + pid + L"\t" + handle + L"\t")) << ran.output;
    EXPECT_TRUE(Has(ran.output, L"\t命令行的目标窗口\t隐藏")) << ran.output;

    // Two windows match: nothing is done unless --all says each.
    ran = RunToEnd(Command(L"hide 同名窗口"), appData);
    EXPECT_EQ(ran.exitCode, 3u);
    EXPECT_TRUE(Visible(first.Window()) && Visible(second.Window()));
    EXPECT_TRUE(Has(ran.output, L"符合\t" + HandleText(first.Window())) &&
                Has(ran.output, L"符合\t" + HandleText(second.Window())))
        << ran.output;
    EXPECT_EQ(RunToEnd(Command(L"hide 同名窗口 --all"), appData).exitCode, 0u);
    EXPECT_FALSE(Visible(first.Window()) || Visible(second.Window()));

    EXPECT_EQ(RunToEnd(Command(L"minimize 没有这样的窗口"), appData).exitCode, 4u);
    ran = RunToEnd(Command(L"hid 同名窗口"), appData);
    EXPECT_EQ(ran.exitCode, 2u);
    EXPECT_TRUE(Has(ran.output, L"用法错误：不认识的命令“hid”")) << ran.output;

    // A batch file sees the exit code in %errorlevel%.
    const std::wstring batch = NewFolder() + L"\\show.bat";
    std::ofstream(std::filesystem::path(batch), std::ios::binary)
        << Gbk(L"@" + Command(L"show exe:命令目标.exe") + L"\r\n@echo 退出码=%errorlevel%\r\n");
    ran = RunToEnd(L"cmd /c \"" + batch + L"\"", appData);
    EXPECT_TRUE(Has(ran.output, L"已显示\t" + handle)) << ran.output;
    EXPECT_TRUE(Has(ran.output, L"退出码=0")) << ran.output;
    EXPECT_TRUE(Visible(own.Window()));
}

TEST(CommandLine, ARunningCopyRunsTheCommandIntoItsRecordOnceItsHandlingIsDone) {
    const std::wstring appData = NewFolder();
    const Vindrel app(SiblingPath(L"Vindrel.exe"), L"", appData);
    const Target target(L"交给副本的窗口");
    // A box of the copy's own is open: the command waits until it closes.
    app.PostClick("Command4");
    const MessageBoxSeen box = WaitForMessageBox(app.Program().Id());
    ASSERT_NE(box.box, nullptr);
    Ran ran;
    std::thread command([&] { ran = RunToEnd(Command(L"hide 交给副本的窗口"), appData); });
    Sleep(1000);
    EXPECT_TRUE(Visible(target.Window()));
    CloseMessageBox(box);
    command.join();
    EXPECT_EQ(ran.exitCode, 0u) << ran.output;
    EXPECT_FALSE(Visible(target.Window()));

    // In that copy's record: its restore item puts the window back.
    app.ChooseMenuItem(0);
    const MessageBoxSeen seen = WaitForMessageBox(app.Program().Id());
    EXPECT_EQ(seen.text.rfind(L"已恢复 1 个窗口", 0), 0u) << seen.text;
    EXPECT_TRUE(CloseMessageBox(seen));
    EXPECT_TRUE(Visible(target.Window()));
}

TEST(CommandLine, WithNoCopyRunningTheNextStartTakesTheChangeInAndPutbackPutsItBack) {
    const std::wstring appData = NewFolder();
    const Target target(L"留给下次启动的窗口");
    ASSERT_EQ(RunToEnd(Command(L"hide 留给下次启动的窗口"), appData).exitCode, 0u);
    ASSERT_FALSE(Visible(target.Window()));
    {
        // Taken in without a question; the restore item puts it back.
        const Vindrel app(SiblingPath(L"Vindrel.exe"), L"", appData);
        EXPECT_EQ(WaitForMessageBox(app.Program().Id(), 1000ms).box, nullptr);
        app.ChooseMenuItem(0);
        const MessageBoxSeen seen = WaitForMessageBox(app.Program().Id());
        EXPECT_EQ(seen.text.rfind(L"已恢复 1 个窗口", 0), 0u) << seen.text;
        EXPECT_TRUE(CloseMessageBox(seen));
        EXPECT_TRUE(Visible(target.Window()));
    }
    ASSERT_EQ(RunToEnd(Command(L"hide 留给下次启动的窗口"), appData).exitCode, 0u);
    const Ran ran = RunToEnd(Command(L"putback"), appData);
    EXPECT_EQ(ran.exitCode, 0u) << ran.output;
    EXPECT_TRUE(Has(ran.output, L"已恢复\t" + HandleText(target.Window()))) << ran.output;
    EXPECT_TRUE(Visible(target.Window()));
}

}  // namespace
}  // namespace vindrel::e2e
