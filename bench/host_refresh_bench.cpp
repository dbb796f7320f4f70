// Platform calls per refresh over the fake platform, from 100 to 10,000
// processes, once the processes are listed: the refresh walks each source
// once, whatever the count; the per-row algorithm (shown up to 1,000) walks
// them once per row.
#include <benchmark/benchmark.h>

#include "fakes/fake_toolkit.h"
#include "fakes/fake_window_system.h"
#include "fakes/fake_world.h"
#include "table/process_table.h"

namespace {

using namespace vindrel;
using namespace vindrel::testing;

constexpr LayoutRow kList{"L", ControlKind::ListBox, "Form1", L"", {}, 1};

template <void (*Algorithm)(ProcessTable&, WindowSystem&, const std::vector<WmiObject>&)>
void Refreshing(benchmark::State& state) {
    FakeToolkit toolkit;
    auto list4 = toolkit.CreateListBox(kList);
    auto list1 = toolkit.CreateListBox(kList);
    auto list2 = toolkit.CreateListBox(kList);
    auto list3 = toolkit.CreateListBox(kList);
    ProcessTable table{*list4, *list1, *list2, *list3};
    FakeWindowSystem ws;
    PopulateSession(ws, static_cast<int>(state.range(0)));

    std::int64_t calls = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ws.calls.clear();
        ws.log.clear();
        state.ResumeTiming();
        Algorithm(table, ws, ws.wmiObjects);
        state.PauseTiming();
        for (const auto& [name, count] : ws.calls)
            calls += count;
        state.ResumeTiming();
    }
    const auto perRefresh = [&](const char* name) {
        return benchmark::Counter(static_cast<double>(ws.calls[name]));
    };
    state.counters["calls"] =
        benchmark::Counter(static_cast<double>(calls), benchmark::Counter::kAvgIterations);
    state.counters["snapshots"] = perRefresh("CreateToolhelp32Snapshot");
    state.counters["window_walks"] = perRefresh("FindWindowA");
    state.counters["titles"] = perRefresh("GetWindowTextA");
}

BENCHMARK(Refreshing<Refresh>)->Name("Refresh")->RangeMultiplier(10)->Range(100, 10000);
BENCHMARK(Refreshing<RefreshPerRow>)->Name("RefreshPerRow")->RangeMultiplier(10)->Range(100, 1000);

}  // namespace

BENCHMARK_MAIN();
