// Other programs' messages reach the window procedure while a handling
// waits: a click sent during the deadline wait, and one posted while the
// handling's message box is open. Both run after the handling, in the order
// they came; the events a handling raises itself still run inside it.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/deadline_window_system.h"
#include "platform/thread.h"
#include "platform/win32/completion_win32.h"
#include "real_form.h"

namespace vindrel::testing {
namespace {

using namespace std::chrono_literals;

// A target that, while it is being hidden, has another thread click one of
// our buttons, as another program would.
class ClickingTarget : public FakeWindowSystem {
public:
    std::function<void()> whileHidden;
    std::int32_t ShowWindow(Hwnd hWnd, std::int32_t nCmdShow) override {
        if (nCmdShow == api::kSwHide && whileHidden) whileHidden();
        return FakeWindowSystem::ShowWindow(hWnd, nCmdShow);
    }
};

// The toolkit's message box, with a line in the fake's log once it has closed.
class LoggedMessages : public Interaction {
public:
    explicit LoggedMessages(FakeWindowSystem& log) : log_(log) {}
    void MsgBox(const std::wstring& prompt, const std::optional<std::wstring>& title) override {
        real->MsgBox(prompt, title);
        log_.Mark("closed " + std::string(prompt == L"成功" ? "成功" : "another box"));
    }
    Answer Ask(const std::wstring& prompt, Choices choices,
               const std::optional<std::wstring>& title) override {
        return real->Ask(prompt, choices, title);
    }
    void Shell(const std::wstring& commandLine) override { real->Shell(commandLine); }
    Interaction* real = nullptr;

private:
    FakeWindowSystem& log_;
};

BOOL CALLBACK FindBox(HWND hwnd, LPARAM found) {
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (std::wstring_view(cls) != L"#32770" || !IsWindowVisible(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

// Watches for message boxes of the thread: runs `whileOpen` once, while
// the first is open, and closes each.
class BoxCloser {
public:
    BoxCloser(DWORD thread, std::function<void()> whileOpen)
        : worker_([this, thread, whileOpen] {
              std::set<HWND> closed;
              const auto end = std::chrono::steady_clock::now() + 20s;
              while (!stop_ && std::chrono::steady_clock::now() < end) {
                  HWND box = nullptr;
                  EnumThreadWindows(thread, FindBox, reinterpret_cast<LPARAM>(&box));
                  if (box != nullptr && closed.insert(box).second) {
                      if (closed.size() == 1) whileOpen();
                      PostMessageW(box, WM_COMMAND, IDOK, 0);
                  }
                  std::this_thread::sleep_for(10ms);
              }
          }) {}
    ~BoxCloser() {
        stop_ = true;
        worker_.Join();
    }

private:
    std::atomic<bool> stop_{false};
    Thread worker_;
};

std::vector<std::string> Only(const std::vector<std::string>& log,
                              std::initializer_list<std::string_view> prefixes) {
    std::vector<std::string> kept;
    for (const std::string& line : log) {
        for (std::string_view prefix : prefixes) {
            if (line.rfind(prefix, 0) == 0) kept.push_back(line);
        }
    }
    return kept;
}

// Which rows and boxes were written, in order, through what was sent to them.
std::vector<std::string>* g_order = nullptr;
const RealForm* g_form = nullptr;

LRESULT CALLBACK WatchSelections(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (sent->message == LB_SETCURSEL || sent->message == WM_SETTEXT) {
        for (const char* name : {"List2", "List3", "List4", "Text2", "Text1"}) {
            if (sent->hwnd == g_form->Control(name)) g_order->push_back(name);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(HandlingOrder, ClicksFromOutsideWaitForTheHandlingAndOwnEventsRunInsideIt) {
    ClickingTarget ws;
    ws.AddWindow(200, 20, "target");
    DeadlineWindowSystem guarded(ws, kTargetDeadline,
                                 std::make_shared<win32::AnsweringCompletions>());
    LoggedMessages logged(ws);
    RealForm app(logged, guarded);
    logged.real = &app.toolkit;
    app.form->Text2.SetText(L"200");

    // 显示 is clicked from another thread while 隐藏 waits for the target;
    // 最小化 is posted while 隐藏's message box is open.
    ws.whileHidden = [&] { app.Notify("Command8", BN_CLICKED); };
    {
        const BoxCloser closer(GetCurrentThreadId(),
                               [&] { app.Notify("Command17", BN_CLICKED, true); });
        app.Notify("Command4", BN_CLICKED);
    }
    EXPECT_EQ(Only(ws.log, {"ShowWindow", "CloseWindow", "closed"}),
              (std::vector<std::string>{"ShowWindow(200,0)", "closed 成功", "ShowWindow(200,5)",
                                        "CloseWindow(200)"}));
    EXPECT_TRUE(guarded.WaitIdle(2s));

    // A title row picked: the rows of the other columns are selected, and
    // each one's click fills its box before the next column is touched.
    ws.wmiObjects = {{L"a.exe", 20}, {L"b.exe", 21}, {L"c.exe", 22}};
    app.Notify("Command1", BN_CLICKED);
    ASSERT_EQ(app.form->List1.ListCount(), 3);
    std::vector<std::string> order;
    g_order = &order;
    g_form = &app;
    const HHOOK hook =
        SetWindowsHookExW(WH_CALLWNDPROC, WatchSelections, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    SendMessageW(app.Control("List1"), LB_SETCURSEL, 1, 0);
    app.Notify("List1", LBN_SELCHANGE);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(order, (std::vector<std::string>{"List2", "Text2", "List3", "Text1", "List4"}));
    EXPECT_EQ(app.form->Text2.Text(), L"0");  // b.exe has no window
    EXPECT_EQ(app.form->Text1.Text(), L"21");
}

}  // namespace
}  // namespace vindrel::testing
