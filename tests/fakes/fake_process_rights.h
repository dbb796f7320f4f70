// Integrity levels and elevation as a test sets them: every process at the
// medium level, this program not elevated, unless told otherwise. Elevated
// starts are noted, and answered as the test says.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/process_rights.h"

namespace vindrel::testing {

class FakeProcessRights : public ProcessRights {
public:
    static constexpr std::uint32_t kMedium = 0x2000;
    static constexpr std::uint32_t kHigh = 0x3000;
    static constexpr std::uint32_t kSystem = 0x4000;

    // Levels by process; empty for a token that cannot be read.
    std::map<Pid, std::optional<std::uint32_t>> levels;
    bool elevated = false;
    // The parameters and owner of each elevated start asked for.
    std::vector<std::pair<std::wstring, Hwnd>> starts;
    std::uint32_t startResult = 0;
    // Called for a start that succeeds, with its parameters: the new copy.
    std::function<void(const std::wstring&)> started;

    std::optional<std::uint32_t> IntegrityLevel(Pid pid) override {
        const auto found = levels.find(pid);
        return found == levels.end() ? kMedium : found->second;
    }
    bool Elevated() override { return elevated; }
    std::uint32_t StartElevated(const std::wstring& argument, Hwnd owner) override {
        starts.emplace_back(argument, owner);
        if (startResult == 0 && started) started(argument);
        return startResult;
    }
};

}  // namespace vindrel::testing
