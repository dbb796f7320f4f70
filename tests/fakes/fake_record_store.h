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
    std::optional<std::string> ReadAt(const std::wstring& path, std::size_t limit) override {
        if (path.starts_with(kFolder)) return Read(path.substr(kFolder.size()), limit);
        const auto found = elsewhere.find(path);
        if (found == elsewhere.end() || found->second.size() > limit) return std::nullopt;
        return found->second;
    }
    bool RenameAt(const std::wstring& from, const std::wstring& to) override {
        if (from.starts_with(kFolder) && to.starts_with(kFolder)) {
            return Rename(from.substr(kFolder.size()), to.substr(kFolder.size()));
        }
        if (elsewhere.count(from) == 0 || elsewhere.count(to) != 0) return false;
        elsewhere[to] = std::move(elsewhere[from]);
        return elsewhere.erase(from) == 1;
    }
    void DeleteAt(const std::wstring& path) override {
        if (path.starts_with(kFolder)) return Delete(path.substr(kFolder.size()));
        elsewhere.erase(path);
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
