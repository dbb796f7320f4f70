// The record folder in memory, and processes that start and end as a test
// says: this program's own copy runs, and every other process has ended
// unless it is given a creation time.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>

#include "platform/record_store.h"

namespace vindrel::testing {

class FakeRecordFolder : public RecordFolder {
public:
    std::map<std::wstring, std::string> files;
    bool unwritable = false;
    // Called after the files are listed (where another copy may act), and
    // as a file is written.
    std::function<void()> afterListing, onWrite;

    // Files of other folders (another account's), by full path.
    std::map<std::wstring, std::string> elsewhere;
    // Called once when a wait for a file to go finds it still there.
    std::function<void()> whileWaiting;

    std::vector<std::wstring> Files(const std::wstring& suffix) override {
        std::vector<std::wstring> names;
        for (const auto& [name, bytes] : files)
            if (name.ends_with(suffix)) names.push_back(name);
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
    std::wstring PathOf(const std::wstring& name) override { return kFolder + name; }
    bool Take(const std::wstring& path, const std::wstring& name) override {
        if (path.starts_with(kFolder)) return Rename(path.substr(kFolder.size()), name);
        const auto found = elsewhere.find(path);
        if (found == elsewhere.end() || files.count(name) != 0) return false;
        files[name] = std::move(found->second);
        elsewhere.erase(found);
        return true;
    }
    bool WaitGone(const std::wstring& name, std::chrono::milliseconds) override {
        if (files.count(name) != 0 && whileWaiting) std::exchange(whileWaiting, {})();
        return files.count(name) == 0;
    }

private:
    inline static const std::wstring kFolder = L"C:\\Record\\";
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
