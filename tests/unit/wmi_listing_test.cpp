#include "platform/wmi_listing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "fakes/fake_window_system.h"
#include "platform/step_error.h"

namespace vindrel::testing {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kDisconnected = 0x80010108;  // RPC_E_DISCONNECTED

std::wstring Why(WmiListing& wmi) {
    try {
        wmi.List();
    } catch (const StepError& failure) {
        return failure.Why();
    }
    return L"listed";
}

class WmiListingTest : public ::testing::Test {
protected:
    WmiListingTest() { ws.wmiObjects = {{L"a.exe", 10}, {L"b.exe", 11}}; }
    FakeWindowSystem ws;
    WmiListing wmi{ws, 2s, std::make_shared<PlainCompletions>()};
};

// One connection, made on the worker before the first listing asks, serves
// every listing; a broken one is made again once per listing, and other
// failures keep it. A warm-up that fails leaves the listing to connect.
TEST_F(WmiListingTest, ConnectsOnceOnItsWorkerAndReconnectsOnlyWhenTheConnectionBroke) {
    ws.wmiConnectFailures = {0x80070005};
    wmi.Warm();
    ASSERT_TRUE(wmi.WaitIdle(2s));
    EXPECT_EQ(ws.calls["ConnectWmi"], 1);
    EXPECT_EQ(wmi.List().size(), 2u);
    ws.calls["ConnectWmi"] = 0;
    wmi.Warm();  // connected already
    ASSERT_TRUE(wmi.WaitIdle(2s));
    EXPECT_NE(ws.lastCaller, std::this_thread::get_id());
    EXPECT_EQ(wmi.List().size(), 2u);
    EXPECT_EQ(wmi.List().size(), 2u);
    EXPECT_EQ(ws.calls["ConnectWmi"], 0);
    EXPECT_EQ(ws.log.back(), "ExecQuery(SELECT Name, ProcessId FROM Win32_Process)");

    ws.wmiQueryFailures = {kDisconnected};
    EXPECT_EQ(wmi.List().size(), 2u);
    EXPECT_EQ(ws.calls["ConnectWmi"], 1);
    EXPECT_EQ(ws.liveWmiConnections, 1);  // the broken one was let go

    for (const std::uint32_t broken : {0x800706BAu, 0x80041015u}) {
        ws.wmiFailAfter = 1;  // broken in the middle of the walk, once
        ws.wmiWalkFailure = broken;
        ws.duringWmiWalk = [&](std::size_t) { ws.wmiFailAfter.reset(); };
        EXPECT_EQ(wmi.List().size(), 2u);
        ws.duringWmiWalk = nullptr;
    }
    EXPECT_EQ(ws.calls["ConnectWmi"], 3);

    ws.wmiQueryFailures = {0x80041003};  // refused, not broken: no new connection
    EXPECT_EQ(Why(wmi), L"WMI 调用 ExecQuery 失败（HRESULT 0x80041003）");
    EXPECT_EQ(ws.calls["ConnectWmi"], 3);
    ws.wmiQueryFailures = {kDisconnected, kDisconnected};  // only once
    EXPECT_NE(Why(wmi), L"listed");
    EXPECT_EQ(ws.calls["ConnectWmi"], 4);
    EXPECT_EQ(wmi.List().size(), 2u);  // connects afresh
    EXPECT_EQ(ws.calls["ConnectWmi"], 5);
}

// A listing that never returns costs the caller the deadline once; while it
// is stuck, later listings fail at once; once it returns, WMI is used again.
TEST_F(WmiListingTest, AStuckListingIsAbandonedAtTheDeadline) {
    WmiListing quick(ws, 100ms, std::make_shared<PlainCompletions>());
    std::promise<void> answer;
    std::shared_future<void> answered = answer.get_future().share();
    ws.duringWmiWalk = [answered](std::size_t) { answered.wait(); };
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Why(quick), L"WMI 在 0.1 秒内没有回答");
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 800ms);
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(Why(quick), L"WMI 上一次的请求超过 0.1 秒仍没有回答");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);

    answer.set_value();
    ASSERT_TRUE(quick.WaitIdle(2s));
    ws.duringWmiWalk = nullptr;
    EXPECT_EQ(quick.List().size(), 2u);
}

// A warm-up stuck in connecting holds the first listing for the deadline,
// and the listings after it not at all; the listing it held is withdrawn,
// never run. Ended while stuck, the listing makes no further call: a
// connection that broke meanwhile is not made again.
TEST_F(WmiListingTest, AStuckWarmUpCostsOneDeadlineAndAnEndedListingCallsNothingMore) {
    auto quick = std::make_unique<WmiListing>(ws, 100ms, std::make_shared<PlainCompletions>());
    std::promise<void> connecting, connect;
    std::shared_future<void> connected = connect.get_future().share();
    ws.duringWmiConnect = [&connecting, connected] {
        connecting.set_value();
        connected.wait();
    };
    quick->Warm();
    connecting.get_future().wait();  // the worker is in the warm-up
    EXPECT_EQ(Why(*quick), L"WMI 在 0.1 秒内没有回答");
    EXPECT_EQ(Why(*quick), L"WMI 上一次的请求超过 0.1 秒仍没有回答");
    connect.set_value();
    ASSERT_TRUE(quick->WaitIdle(2s));
    EXPECT_EQ(ws.calls["ExecQuery"], 0);
    ws.duringWmiConnect = nullptr;
    EXPECT_EQ(quick->List().size(), 2u);

    std::promise<void> answer;
    std::shared_future<void> answered = answer.get_future().share();
    ws.duringWmiWalk = [answered](std::size_t) { answered.wait(); };
    ws.wmiFailAfter = 0;
    ws.wmiWalkFailure = kDisconnected;
    EXPECT_NE(Why(*quick), L"listed");
    quick.reset();  // while the worker is stuck
    answer.set_value();
    for (int i = 0; i < 200 && ws.LiveWmiConnections() != 0; ++i)
        std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(100ms);  // time enough for a call that should not come
    EXPECT_EQ(ws.LiveWmiConnections(), 0);
    EXPECT_EQ(ws.calls["ConnectWmi"], 1);
}

}  // namespace
}  // namespace vindrel::testing
