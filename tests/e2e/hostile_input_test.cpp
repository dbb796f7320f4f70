// Texts a user (or a paste) may put into the boxes: every command, whatever
// they hold, gives its result or the one error report, and the program lives.
#include <gtest/gtest.h>

#include <set>

#include "driver.h"

namespace vindrel::e2e {
namespace {

// Clicks a button and, if its handling opens a message box, closes it and
// gives its text ("" when none opened).
std::wstring ClickAndSettle(const Vindrel& app, std::string_view button) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(app.Control(button), BM_CLICK, 0, 0, SMTO_NORMAL, 200, &result)) {
        return L"";
    }
    const MessageBoxSeen seen = WaitForMessageBox(app.Program().Id(), 3000ms);
    if (seen.box == nullptr) return L"(no message box, no answer)";
    CloseMessageBox(seen);
    return seen.text;
}

TEST(HostileInput, EveryCommandGivesItsResultOrTheErrorReport) {
    const Vindrel app;
    app.Click("Command1");
    const std::wstring doubleByte255 = std::wstring(127, L'汉') + L"x";
    const std::wstring doubleByte256(128, L'汉');
    // clang-format off
    const std::vector<std::wstring> texts{
        L"", L"   ", std::wstring(5000, L'9'), L"&HFFFFFFFFFF", L"&O77777777777777", L"1E400",
        L"-0", L"2147483647.5", L"-2147483648.5", L"１２３４５", L"中文文本", doubleByte255,
        doubleByte256};
    // clang-format on
    const std::set<std::wstring> results{L"成功", L"失败", L"有效", L"无效", L"1", L"0"};
    const std::set<std::wstring> failures{L"数值超出范围"};
    const char* const buttons[] = {"Command4", "Command8",  "Command17", "Command19", "Command21",
                                   "Command9", "Command22", "Command18", "Command6",  "Command5"};
    for (const char* box : {"Text1", "Text2", "Text3", "Text4", "Text5"}) {
        for (const std::wstring& text : texts) {
            app.SetText("Text2", L"0");
            app.SetText(box, text);
            for (const char* button : buttons) {
                const std::wstring said = ClickAndSettle(app, button);
                if (said.empty()) continue;
                const std::wstring what = said.substr(0, said.find(L'\r'));
                EXPECT_TRUE(results.count(said) != 0 || failures.count(what) != 0)
                    << box << " " << button << " text of " << text.size() << " characters";
            }
            ASSERT_TRUE(app.Program().Running()) << box;
            ASSERT_TRUE(app.Responsive()) << box;
        }
    }
    EXPECT_FALSE(AnyMessageBox(app.Program().Id()));
}

TEST(HostileInput, RenameCrossesTheAnsiCodePageAndLongTitlesAreCutWhole) {
    const Vindrel app;
    const Target target(L"目标窗口");
    app.SetText("Text2", HandleText(target.Window()));

    // A character code page 936 lacks is replaced.
    app.SetText("Text5", L"abc\u0E01def");
    app.Click("Command22");
    EXPECT_EQ(WindowText(target.Window()), L"abc?def");

    // 300 bytes of double-byte text: the table shows what fits in 255
    // bytes, without half a character.
    app.SetText("Text5", std::wstring(150, L'汉'));
    app.Click("Command22");
    EXPECT_EQ(WindowText(target.Window()), std::wstring(150, L'汉'));
    app.Click("Command1");
    const auto handles = app.Rows("List2");
    const auto titles = app.Rows("List1");
    bool found = false;
    for (std::size_t i = 0; i < handles.size(); ++i) {
        if (handles[i] != HandleText(target.Window())) continue;
        found = true;
        EXPECT_EQ(titles[i], std::wstring(127, L'汉'));
    }
    EXPECT_TRUE(found);
    EXPECT_FALSE(AnyMessageBox(app.Program().Id()));
}

}  // namespace
}  // namespace vindrel::e2e
