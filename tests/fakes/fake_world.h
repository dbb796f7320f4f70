// A fake session of P processes like the benchmark's: every other process
// owns one top-level window, and the executable names repeat every eight
// processes, so many rows share a name.
#pragma once

#include <string>

#include "fakes/fake_window_system.h"

namespace vindrel::testing {

inline void PopulateSession(FakeWindowSystem& ws, int processes) {
    for (int i = 0; i < processes; ++i) {
        const Pid pid = 100 + 4 * i;
        const std::string name = "child_" + std::to_string(i % 8) + ".exe";
        ws.processes.push_back({pid, name});
        ws.wmiObjects.push_back({std::wstring(name.begin(), name.end()), pid});
        if (i % 2 == 0) ws.AddWindow(0x10000 + 2 * i, pid, "window " + std::to_string(i));
    }
}

}  // namespace vindrel::testing
