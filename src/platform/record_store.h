// Where each running copy of the program keeps its change record between
// runs (one file per copy in the user's local application data), and what
// the record needs to know of processes across runs.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace vindrel {

// A process as known across runs: its id and its creation time (in the
// system's 100 ns units). Ids are reused; the pair is not.
struct ProcessStamp {
    Pid pid = 0;
    std::uint64_t created = 0;
    bool operator==(const ProcessStamp&) const = default;
    auto operator<=>(const ProcessStamp&) const = default;
};

// The record folder's files, by name (no path). A name is never followed
// to anywhere but the folder.
class RecordFolder {
public:
    virtual ~RecordFolder() = default;
    // The names of the files ending in `suffix` (".record", the record
    // files; ".record.tmp", files being written); none when the folder does
    // not exist or cannot be listed.
    virtual std::vector<std::wstring> Files(const std::wstring& suffix) = 0;
    // The file's bytes; empty when it cannot be read or is larger than
    // `limit` bytes.
    virtual std::optional<std::string> Read(const std::wstring& name, std::size_t limit) = 0;
    // Replaces the file whole, making the folder first when needed: a new
    // file, flushed, moved over the old one, so that a crash leaves the
    // old file or the new one. false when the folder cannot be written.
    virtual bool Write(const std::wstring& name, const std::string& bytes) = 0;
    // Renames a file, never over another; false when it failed (the file is
    // gone: another copy took it).
    virtual bool Rename(const std::wstring& from, const std::wstring& to) = 0;
    virtual void Delete(const std::wstring& name) = 0;
    // The same for a file given by its full path: a record another copy
    // hands over, perhaps from another account's folder.
    virtual std::optional<std::string> ReadAt(const std::wstring& path, std::size_t limit) = 0;
    virtual bool RenameAt(const std::wstring& from, const std::wstring& to) = 0;
    virtual void DeleteAt(const std::wstring& path) = 0;
    // Waits until the file is gone (another copy took it), answering what
    // is sent to the program's windows meanwhile; false when the timeout
    // passed first.
    virtual bool WaitGone(const std::wstring& name, std::chrono::milliseconds timeout) = 0;
    // The file's full path, to show the user.
    virtual std::wstring PathOf(const std::wstring& name) = 0;
};

// Stops watching when destroyed, after a call in progress has returned.
class ProcessWatch {
public:
    virtual ~ProcessWatch() = default;
};

class Lifetimes {
public:
    virtual ~Lifetimes() = default;
    // This program's own process.
    virtual ProcessStamp Self() = 0;
    // When the process started; empty when there is no such process or it
    // cannot be asked.
    virtual std::optional<std::uint64_t> Created(Pid pid) = 0;
    // Whether that process still runs. A copy of this program, of this
    // user, can always be asked; a process that cannot is not one.
    virtual bool Running(const ProcessStamp& process) = 0;
    // Calls `ended` once, on a worker thread, when the process ends (at
    // once, on the calling thread, if it has ended already); nullptr where
    // it cannot be watched or has ended.
    virtual std::unique_ptr<ProcessWatch> WhenEnded(const ProcessStamp& process,
                                                    std::function<void()> ended) = 0;
};

}  // namespace vindrel
