// The main window ends while every control wrapper still exists: the last
// notifications of its controls (focus leaving a text box) reach live
// wrappers, and no window keeps a pointer to a wrapper that has gone.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/native_control.h"
#include "real_form.h"

namespace vindrel::testing {
namespace {

struct Watch {
    HWND main = nullptr;
    HWND box = nullptr;
    int focusLosses = 0;
    int reachedLiveWrapper = 0;
};
Watch* g_watch = nullptr;

// Called before the window procedure: whether the text box's wrapper is
// whole when its EN_KILLFOCUS reaches the main window.
LRESULT CALLBACK WatchFocusLoss(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (sent->hwnd == g_watch->main && sent->message == WM_COMMAND &&
        HIWORD(sent->wParam) == EN_KILLFOCUS &&
        reinterpret_cast<HWND>(sent->lParam) == g_watch->box) {
        ++g_watch->focusLosses;
        const win32::NativeControl* wrapper = win32::NativeControl::From(g_watch->box);
        if (wrapper != nullptr && wrapper->Window() == g_watch->box) ++g_watch->reachedLiveWrapper;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK CollectChild(HWND child, LPARAM children) {
    reinterpret_cast<std::vector<HWND>*>(children)->push_back(child);
    return TRUE;
}

TEST(Ending, TheWindowGoesBeforeItsControlsAndLeavesNoPointerToThem) {
    FakeWindowSystem ws;
    Watch watch;
    g_watch = &watch;
    {
        RealForm app(ws);
        watch.main = app.main;
        watch.box = app.Control("Text2");
        SetFocus(watch.box);
        ASSERT_EQ(GetFocus(), watch.box);
        std::vector<HWND> children;
        EnumChildWindows(app.main, CollectChild, reinterpret_cast<LPARAM>(&children));
        ASSERT_GT(children.size(), 40u);

        // A wrapper that goes before its window takes its pointer with it.
        auto extra = app.toolkit.CreateTextBox(layout::Find("Text3"));
        const HWND extraWindow = dynamic_cast<win32::NativeControl&>(*extra).Window();
        extra.reset();
        EXPECT_TRUE(IsWindow(extraWindow));
        EXPECT_EQ(win32::NativeControl::From(extraWindow), nullptr);

        const HHOOK hook =
            SetWindowsHookExW(WH_CALLWNDPROC, WatchFocusLoss, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook, nullptr);
        app.form.reset();
        UnhookWindowsHookEx(hook);
        for (HWND child : children)
            EXPECT_EQ(GetWindowLongPtrW(child, GWLP_USERDATA), 0);
    }
    EXPECT_EQ(watch.focusLosses, 1);
    EXPECT_EQ(watch.reachedLiveWrapper, 1);
}

}  // namespace
}  // namespace vindrel::testing
