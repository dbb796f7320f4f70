// Keeps this copy's change record in a file of its own, so that what the
// program changed outlives it, and takes over the files of copies that
// ended without putting back what they changed. A copy's file is named by
// its process id and creation time; a copy takes another's file by first
// renaming it to a name of its own, so that two copies never both take it.
// A copy that starts itself again as administrator hands its record to the
// new copy in a file of its own (".handed"), which the new copy reads,
// keeps in its own file, and only then claims by renaming it: the file
// gone tells the old copy that the record is the new copy's. A hand-over
// too late is taken back by the old copy with one rename of that file, so
// that exactly one of the two claims it.
#pragma once

#include <chrono>
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

    // Hands the record to a new copy of the program: the hand-over file,
    // marked as left by the user (the new copy asks nothing). Its full
    // path; empty when the record holds nothing; nullopt when it cannot be
    // written.
    std::optional<std::wstring> HandOut();
    // The new copy did not start: the hand-over file goes.
    void KeepAfterAll();
    // Waits until the new copy has claimed the hand-over file, answering
    // what is sent to the program's windows meanwhile; past the timeout,
    // takes it back unless the new copy claimed it first. Once claimed,
    // the record is the new copy's (kept in its own file already): this
    // copy's is empty, and its own file goes.
    bool HandedOver(std::chrono::milliseconds timeout);

    // Takes the files of copies no longer running into this run's record
    // (a file that cannot be read is set aside with a notice) and writes
    // this copy's file before deleting theirs; first the hand-over file of
    // the copy that started this one, given by its full path, without
    // asking. Returns
    // the windows to ask about: those of files the user did not leave so.
    // Copies still running are watched: CopyEnded is called, on a worker,
    // when one ends. Files copies no longer running left half done (a crash
    // between a write and its rename, a hand-over) are deleted.
    std::vector<ChangeRecord::Named> TakeOver(const std::optional<std::wstring>& handed = {});
    std::function<void()> CopyEnded;

    // What the user is to be told about the files, each once.
    std::vector<std::wstring> TakeNotices() { return std::exchange(notices_, {}); }

private:
    bool Unwritable(std::string bytes);
    void SetAside(const std::wstring& name);
    void Watch(const ProcessStamp& copy);
    // Renames another copy's file (already `mine`, a name of this copy's)
    // into the record; the windows to ask about are added to `offered`.
    void TakeFile(const std::wstring& mine, std::vector<ChangeRecord::Named>& offered);
    std::wstring NameFrom(const ProcessStamp& owner);
    void RemoveLeftovers();
    void TakeHanded(const std::wstring& path);

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

// The question asked when windows another copy changed are still so: at
// start-up, those of the last run; later, those of a copy that ended
// while this one ran.
std::wstring LeftOverQuestion(const std::vector<ChangeRecord::Named>& windows, bool atStart);

}  // namespace vindrel
