// The record folder and the process lifetimes over Win32.
#pragma once

#include <string>
#include <utility>

#include "platform/record_store.h"

namespace vindrel::win32 {

// The folder "Vindrel" in the user's local application data: from the
// LOCALAPPDATA variable, and only where that is unset from the
// known-folder call (shell32, loaded then).
class Win32RecordFolder : public RecordFolder {
public:
    Win32RecordFolder() = default;
    // A folder of the caller's choosing (for tests).
    explicit Win32RecordFolder(std::wstring folder) : folder_(std::move(folder)) {}

    std::vector<std::wstring> Files(const std::wstring& suffix) override;
    std::optional<std::string> Read(const std::wstring& name, std::size_t limit) override;
    bool Write(const std::wstring& name, const std::string& bytes) override;
    bool Rename(const std::wstring& from, const std::wstring& to) override;
    void Delete(const std::wstring& name) override;
    std::wstring PathOf(const std::wstring& name) override;
    std::optional<std::string> ReadAt(const std::wstring& path, std::size_t limit) override;
    bool RenameAt(const std::wstring& from, const std::wstring& to) override;
    void DeleteAt(const std::wstring& path) override;
    bool WaitGone(const std::wstring& name, std::chrono::milliseconds timeout) override;

private:
    const std::wstring& Folder();
    std::wstring folder_;
};

class Win32Lifetimes : public Lifetimes {
public:
    ProcessStamp Self() override;
    std::optional<std::uint64_t> Created(Pid pid) override;
    bool Running(const ProcessStamp& process) override;
    std::unique_ptr<ProcessWatch> WhenEnded(const ProcessStamp& process,
                                            std::function<void()> ended) override;
};

}  // namespace vindrel::win32
