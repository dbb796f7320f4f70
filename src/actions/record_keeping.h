// Keeps this copy's change record in a file of its own, so that what the
// program changed outlives it, and takes over the files of copies that
// ended without putting back what they changed. A copy's file is named by
// its process id and creation time; a copy takes another's file by first
// renaming it to a name of its own, so that two copies never both take it.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "actions/change_record.h"
#include "platform/record_store.h"

namespace vindrel {

class RecordKeeping {
public:
    RecordKeeping(ChangeRecord& record, RecordFolder& folder, Lifetimes& lifetimes);

    // Writes the record where the file differs from it, or deletes the file
    // once the record holds no window still there. A folder that cannot be written is told
    // once per run (see TakeNotices); the record stays in memory. True when
    // the file is current.
    bool Save();
    // The user chose at closing to leave the windows so: the file stays,
    // and says so.
    void LeftByUser();
    // The program closes in order, nothing it hid left unseen.
    void ClosesInOrder() { inOrder_ = true; }
    // The program ends: no watch runs afterwards, and the file goes after
    // an orderly close. Any other end (the session's, a quit another
    // program asked for) keeps it, as it is, for the next start.
    void Ended();

    // Takes the files of copies no longer running into this run's record
    // (a file that cannot be read is set aside with a notice) and writes
    // this copy's file before deleting theirs. Returns the windows to ask
    // about: those of files the user did not leave so. Copies still
    // running are watched: CopyEnded is called, on a worker, when one ends.
    std::vector<ChangeRecord::Named> TakeOver();
    std::function<void()> CopyEnded;

    // What the user is to be told about the files, each once.
    std::vector<std::wstring> TakeNotices() { return std::exchange(notices_, {}); }

private:
    bool Unwritable(std::string bytes);
    void SetAside(const std::wstring& name);
    void Watch(const ProcessStamp& copy);

    ChangeRecord& record_;
    RecordFolder& folder_;
    Lifetimes& lifetimes_;
    ProcessStamp self_;
    std::wstring own_;                    // this copy's file
    std::optional<std::string> written_;  // what it holds; empty: no file
    std::optional<std::string> failed_;   // what could not be written last
    // Other copies' files, to delete once this copy's file holds theirs.
    std::vector<std::wstring> taken_;
    int takings_ = 0;
    bool left_ = false;
    bool inOrder_ = false;
    bool toldUnwritable_ = false;
    std::vector<std::wstring> notices_;
    std::map<ProcessStamp, std::unique_ptr<ProcessWatch>> watches_;
};

// The question asked when windows another copy changed are still so.
std::wstring LeftOverQuestion(const std::vector<ChangeRecord::Named>& windows);

}  // namespace vindrel
