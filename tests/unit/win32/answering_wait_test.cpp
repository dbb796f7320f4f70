// The wait for a guarded call on the user-interface thread answers what
// other threads send to its windows, and nothing else: a call that can only
// return once its message has been answered finishes, and posted messages
// stay queued.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "fakes/fake_window_system.h"
#include "platform/deadline_window_system.h"
#include "platform/step_error.h"
#include "platform/thread.h"
#include "platform/win32/completion_win32.h"
#include "platform/wmi_listing.h"

namespace vindrel::testing {
namespace {

using namespace std::chrono_literals;

constexpr UINT kSent = WM_APP + 10;
constexpr UINT kPosted = WM_APP + 11;

int g_sent = 0;
int g_posted = 0;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kSent) return ++g_sent;
    if (msg == kPosted) ++g_posted;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A target whose ShowWindow, like one that moves the activation on Windows,
// sends a message to the caller's window and waits for the answer.
class CallingBack : public FakeWindowSystem {
public:
    explicit CallingBack(HWND caller) : caller_(caller) {}
    std::int32_t ShowWindow(Hwnd hWnd, std::int32_t nCmdShow) override {
        if (SendMessageW(caller_, kSent, 0, 0) == 0) return -1;
        return FakeWindowSystem::ShowWindow(hWnd, nCmdShow);
    }

private:
    HWND caller_;
};

class AnsweringWaitTest : public ::testing::Test {
protected:
    AnsweringWaitTest() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = CountingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VindrelAnsweringWaitTest";
        RegisterClassW(&wc);
        window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 wc.hInstance, nullptr);
        g_sent = g_posted = 0;
    }
    ~AnsweringWaitTest() override { DestroyWindow(window); }

    HWND window = nullptr;
};

TEST_F(AnsweringWaitTest, ACallWaitingOnTheCallersWindowFinishes) {
    ASSERT_NE(window, nullptr);
    CallingBack ws(window);
    ws.AddWindow(200, 20, "target");
    DeadlineWindowSystem guarded(ws, 2000ms, std::make_shared<win32::AnsweringCompletions>());
    PostMessageW(window, kPosted, 0, 0);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(guarded.ShowWindow(200, 0), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
    EXPECT_EQ(g_sent, 1);
    EXPECT_FALSE(ws.Find(200)->visible);
    // The posted message was left for the message loop.
    EXPECT_EQ(g_posted, 0);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, window, kPosted, kPosted, PM_REMOVE));
}

TEST_F(AnsweringWaitTest, AWaitThatAnswersNothingMissesTheDeadline) {
    // The structure the answering wait exists for: a plain wait and the
    // worker wait on each other until the deadline.
    CallingBack ws(window);
    ws.AddWindow(200, 20, "target");
    DeadlineWindowSystem guarded(ws, 200ms);
    EXPECT_THROW(guarded.ShowWindow(200, 0), StepError);
    EXPECT_EQ(g_sent, 0);
    // Answer it now, so that the worker finishes.
    MSG msg;
    while (!guarded.WaitIdle(10ms))
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    EXPECT_EQ(g_sent, 1);
}

// The process listing waits the same way: it runs on a worker of its own,
// and while it is in progress the waiting thread answers what a third
// thread (on Windows, another program) sends to its windows; input stays
// queued.
TEST_F(AnsweringWaitTest, TheListingRunsOnAWorkerWhileTheWaitingThreadAnswersSentMessages) {
    FakeWindowSystem ws;
    ws.wmiObjects = {{L"a.exe", 10}, {L"b.exe", 11}};
    DWORD listingThread = 0;
    LRESULT answer = 0;
    ws.duringWmiWalk = [&](std::size_t object) {
        if (object != 1) return;
        listingThread = GetCurrentThreadId();
        Thread third([&] {
            DWORD_PTR result = 0;
            if (SendMessageTimeoutW(window, kSent, 0, 0, SMTO_NORMAL, 2000, &result) != 0)
                answer = static_cast<LRESULT>(result);
        });
        third.Join();
    };
    WmiListing wmi(ws, 3000ms, std::make_shared<win32::AnsweringCompletions>());
    PostMessageW(window, kPosted, 0, 0);
    EXPECT_EQ(wmi.List().size(), 2u);
    EXPECT_NE(listingThread, 0u);
    EXPECT_NE(listingThread, GetCurrentThreadId());
    EXPECT_EQ(answer, 1);  // answered by this thread's window, during the listing
    EXPECT_EQ(g_sent, 1);
    EXPECT_EQ(g_posted, 0);
}

}  // namespace
}  // namespace vindrel::testing
