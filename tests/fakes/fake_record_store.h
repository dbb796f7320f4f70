// The record folder in memory, and processes that start and end as a test
// says: this program's own copy runs, and every other process has ended
// unless it is given a creation time.
#pragma once

#include <functional>
#include <map>

#include "platform/record_store.h"

namespace vindrel::testing {

class FakeRecordFolder : public RecordFolder {
public:
    std::map<std::wstring, std::string> files;
    bool unwritable = false;
    // Called after the files are listed (where another copy may act), and
    // as a file is written.
    std::function<void()> afterListing, onWrite;

    std::vector<std::wstring> Files() override {
        std::vector<std::wstring> names;
        for (const auto& [name, bytes] : files)
            if (name.ends_with(L".record")) names.push_back(name);
        if (afterListing) std::exchange(afterListing, {})();
        return names;
    }
    std::optional<std::string> Read(const std::wstring& name, std::size_t limit) override {
        const auto found = files.find(name);
        if (found == files.end() || found->second.size() > limit) return std::nullopt;
        return found->second;
    }
    bool Write(const std::wstring& name, const std::string& bytes) override {
        if (onWrite) onWrite();
        if (!unwritable) files[name] = bytes;
        return !unwritable;
    }
    bool Rename(const std::wstring& from, const std::wstring& to) override {
        if (files.count(from) == 0 || files.count(to) != 0) return false;
        files[to] = std::move(files[from]);
        return files.erase(from) == 1;
    }
    void Delete(const std::wstring& name) override { files.erase(name); }
    std::wstring PathOf(const std::wstring& name) override { return L"C:\\Record\\" + name; }
};

class FakeLifetimes : public Lifetimes {
public:
    ProcessStamp self{4000, 777};
    // Creation times of the running processes other than this copy.
    std::map<Pid, std::uint64_t> running;
    std::map<ProcessStamp, std::function<void()>> watched;

    ProcessStamp Self() override { return self; }
    std::optional<std::uint64_t> Created(Pid pid) override {
        if (pid == self.pid) return self.created;
        const auto found = running.find(pid);
        return found == running.end() ? std::nullopt : std::optional(found->second);
    }
    bool Running(const ProcessStamp& process) override {
        return Created(process.pid) == process.created;
    }
    std::unique_ptr<ProcessWatch> WhenEnded(const ProcessStamp& process,
                                            std::function<void()> ended) override {
        watched[process] = std::move(ended);
        return std::make_unique<ProcessWatch>();
    }
    // The copy ends: its watch calls back.
    void End(const ProcessStamp& process) {
        running.erase(process.pid);
        if (const auto found = watched.find(process); found != watched.end()) found->second();
    }
};

}  // namespace vindrel::testing
