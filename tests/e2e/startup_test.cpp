// The main window as it opens: captions, hidden controls, focus, places.
#include <gtest/gtest.h>

#include <cstdlib>

#include "driver.h"
#include "platform/layout_row.h"
#include "platform/win32/process_rights_win32.h"
#include "platform/win32/record_store_win32.h"
#include "platform/win32/toolkit_win32.h"
#include "platform/win32/window_system_win32.h"
#include "ui/form1.h"
#include "ui/layout.h"

namespace vindrel::e2e {
namespace {

TEST(Startup, CaptionsHiddenControlsFocusAndAnEmptyTable) {
    const Vindrel app;
    EXPECT_EQ(WindowText(app.Main()), L"Vindrel（测试版）---------By Tamsk");
    EXPECT_EQ(app.Text("Label8"), L"【Tamsk制作】\r\n更多内容请访问我的主页（2016年11月开放）");
    EXPECT_TRUE(IsWindowVisible(app.Control("Label8")));
    for (const char* hidden : {"Command6", "Command14", "Command18", "Frame5", "Frame6", "Label9",
                               "Text1", "HScroll1", "Label7"}) {
        ASSERT_NE(app.Control(hidden), nullptr) << hidden;
        EXPECT_FALSE(IsWindowVisible(app.Control(hidden))) << hidden;
    }
    for (const char* list : {"List1", "List2", "List3", "List4"}) {
        EXPECT_TRUE(app.Rows(list).empty()) << list;
    }
    EXPECT_EQ(app.Text("Text2"), L"0");

    ASSERT_TRUE(WaitFor([&] { return app.Focus() == app.Control("Command1"); }));
}

TEST(Startup, AHandleGivenOnTheCommandLineStartsInTheTargetBoxAndAnythingElseIsNoCommand) {
    EXPECT_EQ(Vindrel(SiblingPath(L"Vindrel.exe"), L"65612").Text("Text2"), L"65612");
    // Not a handle, so a command: none of them is one. The usage is written
    // where the output goes, and no window opens.
    const std::wstring hostile[] = {L"６５６１２", L"65612 65614", L"\"656\"12\" x",
                                    std::wstring(30000, L'9')};
    for (const std::wstring& arguments : hostile) {
        const Ran ran =
            RunToEnd(L"\"" + SiblingPath(L"Vindrel.exe") + L"\" " + arguments, NewFolder());
        EXPECT_EQ(ran.exitCode, 2u) << arguments.substr(0, 20);
        EXPECT_EQ(ran.output.find("\xD3\xC3\xB7\xA8"), 0u)
            << ran.output.substr(0, 80);  // 用法 in GBK
    }
}

// The DPI the screen is meant to have: 96 unless the test runner set up
// another (VINDREL_E2E_DPI).
int ExpectedDpi() {
    wchar_t value[16] = {};
    return GetEnvironmentVariableW(L"VINDREL_E2E_DPI", value, 16) > 0 ? _wtoi(value) : 96;
}

TEST(Startup, EveryVisibleControlSitsWhereTheLayoutPutsItAtTheScreensDpi) {
    const Vindrel app;
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, ExpectedDpi());

    // Within a pixel: the twips of a rectangle's corner and of its size are
    // rounded separately.
    const auto withinAPixel = [](long actual, int twips, int dpi) {
        return std::abs(actual - TwipsToPixels(twips, dpi)) <= 1;
    };
    RECT client;
    GetClientRect(app.Main(), &client);
    EXPECT_PRED3(withinAPixel, client.right, layout::kClientWidth, dpi);
    EXPECT_PRED3(withinAPixel, client.bottom, layout::kClientHeight, dpi);

    int checked = 0;
    for (const LayoutRow& row : layout::kControls) {
        if (row.kind == ControlKind::Timer) continue;
        const HWND control = app.Control(row.name);
        ASSERT_NE(control, nullptr) << row.name;
        if (!IsWindowVisible(control)) continue;
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_PRED3(withinAPixel, rect.left, row.rect.left, dpi) << row.name;
        EXPECT_PRED3(withinAPixel, rect.top, row.rect.top, dpi) << row.name;
        EXPECT_PRED3(withinAPixel, rect.right - rect.left, row.rect.width, dpi) << row.name;
        EXPECT_PRED3(withinAPixel, rect.bottom - rect.top, row.rect.height, dpi) << row.name;
        ++checked;
    }
    EXPECT_EQ(checked, 32);  // 43 rows less the timer and the 10 hidden controls
}

// The main window built in this process, by the same toolkit, on the same
// screen: another process's fonts cannot be read, nor its messages faked.
struct InProcessForm {
    InProcessForm() { form.Form_Load(); }
    HWND Main() const {
        return reinterpret_cast<HWND>(static_cast<std::intptr_t>(form.Window().hWnd()));
    }

    win32::Win32Toolkit toolkit{GetModuleHandleW(nullptr), 0, 0};
    win32::Win32WindowSystem windowSystem;
    win32::Win32ProcessRights rights;
    win32::Win32RecordFolder folder;
    win32::Win32Lifetimes lifetimes;
    WmiListing wmi{windowSystem, kListingDeadline, std::make_shared<PlainCompletions>()};
    Form1 form{toolkit, toolkit, windowSystem, wmi, rights, folder, lifetimes};
};

TEST(Startup, TheHeaderFontIsTwelvePointAtTheScreensDpi) {
    const InProcessForm built;
    const HWND main = built.Main();
    const HWND label = GetDlgItem(main, ControlId(layout::Find("Label6")));
    ASSERT_NE(label, nullptr);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    LOGFONTW logFont{};
    ASSERT_NE(GetObjectW(font, sizeof logFont, &logFont), 0);
    EXPECT_EQ(logFont.lfHeight, -MulDiv(12, ExpectedDpi(), 72));
    EXPECT_EQ(logFont.lfWeight, FW_BOLD);
    EXPECT_EQ(logFont.lfCharSet, GB2312_CHARSET);
    EXPECT_STREQ(logFont.lfFaceName, L"宋体");
}

TEST(Startup, MovingToAScreenOfAnotherDpiLaysTheWindowOutAgain) {
    const InProcessForm built;
    const HWND main = built.Main();
    const int dpi = ExpectedDpi() == 96 ? 144 : 96;
    RECT suggested{10, 10, 10 + TwipsToPixels(layout::kClientWidth, dpi) + 20,
                   10 + TwipsToPixels(layout::kClientHeight, dpi) + 40};
    SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));

    for (const char* name : {"List1", "Command1", "HScroll2", "Option2"}) {
        const LayoutRow& row = layout::Find(name);
        const HWND control = GetDlgItem(
            row.container == "Form1" ? main
                                     : GetDlgItem(main, ControlId(layout::Find(row.container))),
            ControlId(row));
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, TwipsToPixels(row.rect.left, dpi)) << name;
        EXPECT_EQ(rect.top, TwipsToPixels(row.rect.top, dpi)) << name;
        EXPECT_EQ(rect.right - rect.left, TwipsToPixels(row.rect.width, dpi)) << name;
    }
    const HWND label = GetDlgItem(main, ControlId(layout::Find("Label6")));
    LOGFONTW logFont{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)), sizeof logFont,
               &logFont);
    EXPECT_EQ(logFont.lfHeight, -MulDiv(12, dpi, 72));
    RECT window;
    GetWindowRect(main, &window);
    EXPECT_EQ(window.right - window.left, suggested.right - suggested.left);
}

}  // namespace
}  // namespace vindrel::e2e
