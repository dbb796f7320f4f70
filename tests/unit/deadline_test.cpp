// A target that stops answering: calls that would wait on it give up at the
// deadline, never queue behind a pending call, and leave other windows alone.
#include "platform/deadline_window_system.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <system_error>

#include "fakes/fake_process_rights.h"
#include "fakes/fake_record_store.h"
#include "fakes/fake_toolkit.h"
#include "fakes/fake_window_system.h"
#include "platform/step_error.h"
#include "ui/form1.h"

namespace vindrel::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr Pid kSelf = FakeWindowSystem::kOwnPid;
constexpr auto kDeadline = 150ms;

template <class F>
std::chrono::milliseconds Elapsed(F work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

class DeadlineTest : public ::testing::Test {
protected:
    DeadlineTest() {
        ws.AddWindow(100, 10, "hung");
        ws.Hang(100);
        ws.AddWindow(200, 20, "fine");
        ws.AddWindow(300, kSelf, "own");
        ws.AddWindow(101, 10, "same thread");
        ws.AddWindow(102, 10, "another thread").thread = 7;
    }
    ~DeadlineTest() override {
        // Let every worker finish before the fake goes.
        ws.Recover(100);
        EXPECT_TRUE(guarded.WaitIdle(5s));
    }

    FakeWindowSystem ws;
    DeadlineWindowSystem guarded{ws, kDeadline};
};

TEST_F(DeadlineTest, AHungTargetFailsAtTheDeadlineAndLaterCallsFailAtOnce) {
    const auto start = Clock::now();
    try {
        guarded.ShowWindow(100, 0);
        FAIL() << "returned";
    } catch (const StepError& e) {
        // The whole deadline, and not much more.
        const auto waited = Clock::now() - start;
        EXPECT_GE(waited, kDeadline);
        EXPECT_LT(waited, 3 * kDeadline);
        EXPECT_EQ(e.What(), L"目标窗口没有响应");
        // Says how long it waited, and that the request still stands.
        EXPECT_NE(e.Why().find(L"0.15 秒"), std::wstring::npos) << e.Why();
        EXPECT_NE(e.Why().find(L"仍可能生效"), std::wstring::npos) << e.Why();
        EXPECT_EQ(SecondsText(1050ms), L"1.05");
    }
    EXPECT_EQ(ws.Blocked(), 1);
    // Not stacked behind the pending call: every waiting call fails at once,
    // on any window of the thread that does not answer.
    for (int i = 0; i < 3; ++i) {
        const auto waited = Elapsed([&] {
            EXPECT_THROW(guarded.ShowWindow(101, 0), StepError);
            EXPECT_THROW(guarded.SetWindowTextA(100, "x"), StepError);
            EXPECT_THROW(guarded.SetWindowLongA(100, -20, 0x80000), StepError);
            EXPECT_THROW(guarded.CloseWindow(100), StepError);
            EXPECT_THROW(guarded.OpenIcon(100), StepError);
            EXPECT_THROW(guarded.SetWindowPos(100, 0, 0, 0, 0, 0, 0), StepError);
            const WindowPlacement placement{};
            EXPECT_THROW(guarded.SetWindowPlacement(100, &placement), StepError);
        });
        EXPECT_LT(waited, kDeadline);
    }
    EXPECT_EQ(ws.Blocked(), 1);
    // Calls that do not wait on the target still work.
    EXPECT_EQ(guarded.IsWindow(100), 1);
    EXPECT_EQ(guarded.GetWindowLongA(100, -20), 0);

    // Another thread's window is not affected, of the same program or not.
    EXPECT_EQ(guarded.ShowWindow(200, 0), 1);
    EXPECT_FALSE(ws.Find(200)->visible);
    EXPECT_EQ(guarded.ShowWindow(102, 0), 1);

    // The target recovers: the pending call completes, nothing is reported,
    // and the target answers again.
    ws.Recover(100);
    ASSERT_TRUE(guarded.WaitIdle(2s));
    EXPECT_FALSE(ws.Find(100)->visible);
    EXPECT_EQ(guarded.ShowWindow(100, 5), 0);
    EXPECT_TRUE(ws.Find(100)->visible);
}

TEST_F(DeadlineTest, ATargetWhoseProcessDiesReleasesItsPendingCall) {
    EXPECT_THROW(guarded.SetWindowTextA(100, "new"), StepError);
    ws.windows.erase(ws.windows.begin());  // the process ends; its window goes
    ws.Recover(100);
    ASSERT_TRUE(guarded.WaitIdle(2s));
    EXPECT_EQ(guarded.SetWindowTextA(100, "new"), 0);  // an invalid window now
}

TEST_F(DeadlineTest, TheProgramsOwnWindowsAndAnsweringTargetsKeepTheirResults) {
    EXPECT_EQ(guarded.ShowWindow(300, 0), 1);
    EXPECT_EQ(ws.lastCaller, std::this_thread::get_id());  // called directly
    EXPECT_EQ(guarded.SetWindowLongA(200, -20, 0x80000), 0);
    EXPECT_EQ(guarded.SetWindowLongA(200, -20, 0x80001), 0x80000);
    EXPECT_EQ(guarded.SetWindowTextA(200, "t"), 1);
    EXPECT_EQ(ws.Find(200)->title, L"t");
    EXPECT_EQ(guarded.ShowWindow(999, 0), 0);  // no such window
}

// Counts the completions made and notes how long they were waited for;
// the first `failures` fail to be made.
class CountingCompletions : public CompletionSource {
public:
    explicit CountingCompletions(int failures = 0) : failures_(failures) {}
    std::shared_ptr<Completion> Make() override {
        ++made;
        if (failures_ > 0) {
            --failures_;
            throw StepError(L"无法等待目标窗口", L"test");
        }
        return std::make_shared<Noted>(*this);
    }
    int made = 0;
    std::chrono::milliseconds waited{0};

private:
    class Noted : public Completion {
    public:
        explicit Noted(CountingCompletions& source)
            : source_(source), plain_(PlainCompletions().Make()) {}
        void Signal() override { plain_->Signal(); }
        bool Wait(std::chrono::milliseconds timeout) override {
            source_.waited = timeout;
            return plain_->Wait(timeout);
        }

    private:
        CountingCompletions& source_;
        std::shared_ptr<Completion> plain_;
    };

    int failures_;
};

// The first `failures` workers cannot be started.
class FailingWorkers : public DeadlineWindowSystem {
public:
    FailingWorkers(WindowSystem& inner, int failures)
        : DeadlineWindowSystem(inner, kDeadline), failures_(failures) {}

protected:
    void StartWorker(std::function<void()> work) override {
        if (failures_-- > 0)
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        DeadlineWindowSystem::StartWorker(std::move(work));
    }

private:
    int failures_;
};

TEST_F(DeadlineTest, NothingIsLeftPendingByACallThatCouldNotStart) {
    // A completion is made only for a call that runs: none for the calls
    // refused while the window is pending.
    auto counting = std::make_shared<CountingCompletions>();
    DeadlineWindowSystem counted(ws, kDeadline, counting);
    EXPECT_THROW(counted.ShowWindow(100, 0), StepError);
    EXPECT_EQ(counting->waited, kDeadline);
    for (int i = 0; i < 3; ++i)
        EXPECT_THROW(counted.FlashWindow(100, 1), StepError);
    EXPECT_EQ(counting->made, 1);
    ws.Recover(100);
    ASSERT_TRUE(counted.WaitIdle(2s));

    // A completion that cannot be made, or a worker that cannot be
    // started, fails that call only: the window is not left pending.
    DeadlineWindowSystem noCompletion(ws, kDeadline, std::make_shared<CountingCompletions>(1));
    EXPECT_THROW(noCompletion.ShowWindow(200, 0), StepError);
    EXPECT_EQ(noCompletion.ShowWindow(200, 0), 1);
    FailingWorkers noWorker(ws, 1);
    try {
        noWorker.ShowWindow(200, 5);
        FAIL() << "a call without a worker succeeded";
    } catch (const StepError& e) {
        EXPECT_EQ(e.What(), L"无法等待目标窗口");
    }
    EXPECT_FALSE(ws.Find(200)->visible);
    EXPECT_EQ(noWorker.ShowWindow(200, 5), 0);
    EXPECT_TRUE(ws.Find(200)->visible);
}

// Workers whose threads start with a last error of their own.
class DirtyWorkers : public DeadlineWindowSystem {
public:
    explicit DirtyWorkers(FakeWindowSystem& inner) : DeadlineWindowSystem(inner, kDeadline) {}

protected:
    void StartWorker(std::function<void()> work) override {
        DeadlineWindowSystem::StartWorker([work = std::move(work)] {
            FakeWindowSystem().SetLastError(1234);
            work();
        });
    }
};

TEST_F(DeadlineTest, ACallsLastErrorReachesTheCallerFromItsWorker) {
    DirtyWorkers dirty(ws);
    ws.Find(200)->exStyle = 0;
    // An old style of 0 is a value: the caller's cleared last error stays 0.
    dirty.SetLastError(0);
    EXPECT_EQ(dirty.SetWindowLongA(200, -20, 0x80000), 0);
    EXPECT_NE(ws.lastCaller, std::this_thread::get_id());
    EXPECT_EQ(dirty.GetLastError(), 0u);
    // A refusal is 0 with access denied, read on the caller's thread.
    ws.Find(200)->refuses = true;
    EXPECT_EQ(dirty.SetWindowLongA(200, -20, 0), 0);
    EXPECT_EQ(dirty.GetLastError(), FakeWindowSystem::kAccessDenied);
    EXPECT_EQ(ws.Find(200)->exStyle, 0x80000);
    ASSERT_TRUE(dirty.WaitIdle(2s));
}

class HungTargetFormTest : public ::testing::Test {
protected:
    HungTargetFormTest() {
        ws.AddWindow(100, 10, "hung");
        ws.Hang(100);
        ws.AddWindow(200, 20, "fine");
        app->Form_Load();
    }
    ~HungTargetFormTest() override {
        app.reset();  // its ending puts a caption back, through `guarded`
        ws.Recover(100);
        EXPECT_TRUE(guarded.WaitIdle(5s));
    }
    void Click(std::string_view button) { toolkit.Get<FakeButton>(button).UserClick(); }
    // What the message boxes shown so far said failed (their first line).
    std::vector<std::wstring> Reports() {
        std::vector<std::wstring> whats;
        for (const auto& m : toolkit.messages) {
            whats.push_back(m.prompt.substr(0, m.prompt.find(L'\r')));
        }
        toolkit.messages.clear();
        return whats;
    }

    FakeToolkit toolkit;
    FakeWindowSystem ws;
    DeadlineWindowSystem guarded{ws, kDeadline};
    WmiListing wmi{ws, kListingDeadline, std::make_shared<PlainCompletions>()};
    FakeProcessRights rights;
    FakeRecordFolder folder;
    FakeLifetimes lifetimes;
    std::optional<Form1> app{std::in_place, toolkit, toolkit, guarded,
                             wmi,           rights,  folder,  lifetimes};
};

TEST_F(HungTargetFormTest, EachCommandReportsOnceThatTheTargetDoesNotAnswer) {
    toolkit.Get<FakeTextBox>("Text2").SetText(L"100");
    Click("Command4");  // hide: waits for the deadline
    EXPECT_EQ(Reports(), std::vector<std::wstring>{L"目标窗口没有响应"});
    const auto waited = Elapsed([&] {
        Click("Command8");
        Click("Command17");
        Click("Command19");
        Click("Command22");
        toolkit.Get<FakeScrollBar>("HScroll2").UserStep(-1);
    });
    EXPECT_LT(waited, kDeadline);
    EXPECT_EQ(Reports(), std::vector<std::wstring>(5, L"目标窗口没有响应"));
    // Recorded all the same (the changes may land when the target answers),
    // and kept while it cannot be put back.
    toolkit.Window().UserChooseMenuItem();
    ASSERT_EQ(toolkit.messages.size(), 1u);
    EXPECT_TRUE(toolkit.messages[0].prompt.starts_with(L"已恢复 0 个窗口"));
    EXPECT_NE(toolkit.messages[0].prompt.find(L"“hung”  100："), std::wstring::npos);
    toolkit.messages.clear();
    EXPECT_TRUE(toolkit.Window().MenuItemShownEnabled());

    toolkit.Get<FakeTextBox>("Text2").SetText(L"200");
    Click("Command4");
    EXPECT_EQ(Reports(), std::vector<std::wstring>{L"成功"});
}

// Putting a caption back never delays the handling that moved the blinking
// elsewhere, even when the window stops answering meanwhile.
TEST_F(HungTargetFormTest, PuttingACaptionBackNeverWaits) {
    toolkit.Get<FakeTextBox>("Text2").SetText(L"200");
    toolkit.Get<FakeCheckBox>("Check1").UserClick();
    toolkit.Get<FakeTimer>("Timer1").Fire();
    ASSERT_EQ(ws.Find(200)->flashes, 1);
    ws.Hang(200);
    const auto waited = Elapsed([&] { toolkit.Get<FakeTextBox>("Text2").SetText(L"300"); });
    EXPECT_LT(waited, kDeadline / 3);
    EXPECT_TRUE(Reports().empty());
    // Still being put back, the window fails no command at once: the
    // command waits its deadline like any other.
    toolkit.Get<FakeTextBox>("Text2").SetText(L"200");
    EXPECT_GE(Elapsed([&] { Click("Command4"); }), kDeadline);
    EXPECT_EQ(Reports(), std::vector<std::wstring>{L"目标窗口没有响应"});
    ws.Recover(200);
    ASSERT_TRUE(guarded.WaitIdle(5s));
    EXPECT_EQ(ws.Find(200)->flashes, 0);
}

TEST_F(HungTargetFormTest, BlinkingAHungTargetSkipsTicksUntilItAnswers) {
    auto& timer = toolkit.Get<FakeTimer>("Timer1");
    toolkit.Get<FakeTextBox>("Text2").SetText(L"100");
    toolkit.Get<FakeCheckBox>("Check1").UserClick();
    timer.Fire();  // waits for the deadline, then gives up silently
    const int calls = ws.calls["FlashWindow"];
    const auto waited = Elapsed([&] {
        for (int i = 0; i < 5; ++i)
            timer.Fire();
    });
    EXPECT_LT(waited, kDeadline);               // pending: no wait at all
    EXPECT_EQ(ws.calls["FlashWindow"], calls);  // and no further call
    EXPECT_TRUE(toolkit.messages.empty());

    // Another window blinks meanwhile.
    toolkit.Get<FakeTextBox>("Text2").SetText(L"200");
    timer.Fire();
    EXPECT_EQ(ws.Find(200)->flashes, 1);

    // The target answers: the pending blink lands, then the caption is put
    // back (blinking had left it), and blinking goes on.
    toolkit.Get<FakeTextBox>("Text2").SetText(L"100");
    ws.Recover(100);
    ASSERT_TRUE(guarded.WaitIdle(2s));
    EXPECT_EQ(ws.Find(200)->flashes, 0);
    EXPECT_EQ(ws.Find(100)->flashes, 0);
    EXPECT_EQ(ws.calls["FlashWindow"], calls + 3);  // 200 on and back, 100 back
    timer.Fire();
    timer.Fire();
    EXPECT_EQ(ws.Find(100)->flashes, 2);
    EXPECT_TRUE(toolkit.messages.empty());
}

}  // namespace
}  // namespace vindrel::testing
