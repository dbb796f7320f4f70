// The integrity level read from a real process token, and what an id of no
// process gives.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/process_rights_win32.h"

namespace vindrel::testing {
namespace {

TEST(Win32ProcessRights, ReadsTheLevelOfARunningProcessAndNothingForAMissingOne) {
    win32::Win32ProcessRights rights;
    const auto own = rights.IntegrityLevel(static_cast<Pid>(GetCurrentProcessId()));
    ASSERT_TRUE(own.has_value());
    // Between low (0x1000) and system (0x4000).
    EXPECT_GE(*own, 0x1000u);
    EXPECT_LE(*own, 0x4000u);
    // Process ids are multiples of four: this one names no process.
    EXPECT_EQ(rights.IntegrityLevel(0x7FFFFFF3), std::nullopt);
}

}  // namespace
}  // namespace vindrel::testing
