// The record folder on a real folder, and the process lifetimes on a real
// child process: what the fakes stand in for.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "actions/record_keeping.h"
#include "platform/thread.h"
#include "platform/win32/record_store_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/window_system_win32.h"

namespace vindrel::testing {
namespace {

using namespace std::chrono_literals;

// A new folder under the temporary folder, removed with what it holds.
class TemporaryFolder {
public:
    TemporaryFolder() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + L"vindrel-test-" + std::to_wstring(GetCurrentProcessId()) +
                L"-" + std::to_wstring(++count_);
    }
    ~TemporaryFolder() {
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileW((path_ + L"\\" + found.cFileName).c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(path_.c_str());
    }
    const std::wstring& Path() const { return path_; }

private:
    inline static int count_ = 0;
    std::wstring path_;
};

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A child process that exists until it is ended: this test program,
// started suspended.
win32::UniqueProcessHandle StartChild(Pid& pid) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"child --gtest_list_tests";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &process)) {
        return win32::UniqueProcessHandle();
    }
    CloseHandle(process.hThread);
    pid = static_cast<Pid>(process.dwProcessId);
    return win32::UniqueProcessHandle(process.hProcess);
}

TEST(Win32RecordFolder, WritesWholeFilesAndTakesOnlyWhereTheNameIsFree) {
    TemporaryFolder temporary, other;
    win32::Win32RecordFolder folder(temporary.Path());
    // A reader sees the old file or the new one, never half of either.
    const std::string a(300000, 'a'), b(200000, 'b');
    ASSERT_TRUE(folder.Write(L"1-2.record", a));
    std::atomic<bool> writing = true;
    Thread writer([&] {
        for (int i = 0; i < 40; ++i)
            folder.Write(L"1-2.record", i % 2 == 0 ? b : a);
        writing = false;
    });
    int whole = 0;
    while (writing) {
        const auto read = folder.Read(L"1-2.record", 1u << 20);
        if (!read) continue;
        EXPECT_TRUE(*read == a || *read == b) << read->size();
        ++whole;
    }
    writer.Join();
    EXPECT_GT(whole, 0);
    EXPECT_EQ(folder.Files(L".record"), std::vector<std::wstring>{L"1-2.record"});
    EXPECT_TRUE(folder.Files(L".record.tmp").empty());

    // Another copy's hand-over, in another folder: read where it lies, and
    // claimed there by a rename that never goes over another file.
    win32::Win32RecordFolder theirs(other.Path());
    ASSERT_TRUE(theirs.Write(L"3-4.handed", "theirs") && theirs.Write(L"3-4.handed.kept", "kept"));
    const std::wstring handed = theirs.PathOf(L"3-4.handed");
    EXPECT_EQ(folder.ReadAt(handed, 100), "theirs");
    EXPECT_FALSE(folder.RenameAt(handed, handed + L".kept"));
    EXPECT_EQ(theirs.Read(L"3-4.handed.kept", 100), "kept");
    EXPECT_TRUE(folder.RenameAt(handed, handed + L".taken"));
    EXPECT_TRUE(theirs.WaitGone(L"3-4.handed", 0ms));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(folder.WaitGone(L"1-2.record", 100ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
}

TEST(Win32Lifetimes, FollowARealProcessAndRemoveWhatOnlyEndedCopiesLeft) {
    win32::Win32Lifetimes lifetimes;
    Pid pid = 0;
    const win32::UniqueProcessHandle child = StartChild(pid);
    ASSERT_TRUE(child);
    const auto created = lifetimes.Created(pid);
    ASSERT_TRUE(created);
    const ProcessStamp stamp{pid, *created};
    EXPECT_TRUE(lifetimes.Running(stamp));
    EXPECT_FALSE(lifetimes.Running({pid, *created + 1}));  // another process by that id

    // Files a copy left half done when it crashed go at the next start; a
    // running copy's stay.
    TemporaryFolder temporary;
    win32::Win32RecordFolder folder(temporary.Path());
    ASSERT_TRUE(folder.Write(L"x.record", "x"));
    const std::wstring running = std::to_wstring(pid) + L"-" + std::to_wstring(*created);
    const std::wstring ended = std::to_wstring(pid) + L"-" + std::to_wstring(*created + 1);
    for (const std::wstring& stem : {running, ended}) {
        for (const wchar_t* suffix : {L".record.tmp", L".handed"}) {
            ASSERT_TRUE(folder.Rename(L"x.record", stem + suffix) &&
                        folder.Write(L"x.record", "x"));
        }
    }
    win32::Win32WindowSystem ws;
    ChangeRecord record(ws, lifetimes);
    RecordKeeping keeping(record, folder, lifetimes);
    keeping.TakeOver();
    EXPECT_TRUE(Exists(folder.PathOf(running + L".record.tmp")));
    EXPECT_TRUE(Exists(folder.PathOf(running + L".handed")));
    EXPECT_FALSE(Exists(folder.PathOf(ended + L".record.tmp")));
    EXPECT_FALSE(Exists(folder.PathOf(ended + L".handed")));

    // The wait fires once, when the process ends.
    std::atomic<int> fired = 0;
    const auto watch = lifetimes.WhenEnded(stamp, [&] { ++fired; });
    ASSERT_TRUE(watch);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(fired, 0);
    TerminateProcess(child.Get(), 1);
    for (int i = 0; i < 500 && fired == 0; ++i)
        std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(lifetimes.Running(stamp));
    // An ended process is told at once, with nothing left to watch.
    EXPECT_FALSE(lifetimes.WhenEnded(stamp, [&] { ++fired; }));
    EXPECT_EQ(fired, 2);
}

}  // namespace
}  // namespace vindrel::testing
