#include "actions/record_keeping.h"

#include "platform/conversions.h"

namespace vindrel {

namespace {

constexpr std::wstring_view kSuffix = L".record";
// The record handed to a new copy, and the names it takes: while being
// written, claimed by the new copy, taken back by the old one.
constexpr std::wstring_view kHanded = L".handed";
constexpr std::wstring_view kClaimed = L".taken";
constexpr std::wstring_view kKept = L".kept";

std::wstring Stem(const ProcessStamp& copy) {
    return std::to_wstring(static_cast<std::uint32_t>(copy.pid)) + L"-" +
           std::to_wstring(copy.created);
}

// The copy a record file belongs to: its name starts with the copy's
// process id and creation time ("1234-133…"), and ends in ".record".
std::optional<ProcessStamp> OwnerOf(const std::wstring& name) {
    if (!name.ends_with(kSuffix)) return std::nullopt;
    const auto number = [&](std::size_t& at, wchar_t end) -> std::optional<std::uint64_t> {
        const DigitRun run = LeadingDigits(std::wstring_view(name).substr(at), 10, UINT64_MAX);
        at += run.length;
        if (run.length == 0 || at >= name.size() || name[at] != end) return std::nullopt;
        ++at;
        return run.value;
    };
    std::size_t at = 0;
    const auto pid = number(at, L'-');
    const auto created = pid ? number(at, L'.') : std::nullopt;
    if (!created || *pid == 0 || *pid > 0xFFFFFFFFu) return std::nullopt;
    return ProcessStamp{static_cast<Pid>(static_cast<std::uint32_t>(*pid)), *created};
}

}  // namespace

RecordKeeping::RecordKeeping(ChangeRecord& record, RecordFolder& folder, Lifetimes& lifetimes)
    : record_(record),
      folder_(folder),
      lifetimes_(lifetimes),
      self_(lifetimes.Self()),
      own_(Stem(self_) + std::wstring(kSuffix)) {}

bool RecordKeeping::Save() {
    const std::vector<RecordedWindow> windows = record_.Windows();
    std::string bytes = windows.empty() ? "" : WriteRecordFile({windows, left_});
    if (bytes == failed_) return false;  // tried already; again once it changes
    if (bytes.empty()) {
        if (written_) folder_.Delete(own_);
        written_.reset();
    } else if (bytes != written_) {
        if (!folder_.Write(own_, bytes)) return Unwritable(std::move(bytes));
        written_ = std::move(bytes);
    }
    failed_.reset();
    for (const std::wstring& name : std::exchange(taken_, {}))
        folder_.Delete(name);
    return true;
}

bool RecordKeeping::Unwritable(std::string bytes) {
    failed_ = std::move(bytes);
    if (!toldUnwritable_) {
        toldUnwritable_ = true;
        notices_.push_back(L"改动记录无法保存到磁盘：\r\n" + folder_.PathOf(own_) +
                           L"\r\n\r\n改动照常进行，只记在内存中；本程序若意外退出，"
                           L"将无法帮你找回这些窗口。");
    }
    return false;
}

void RecordKeeping::LeftByUser() {
    left_ = true;
    Save();
}

void RecordKeeping::Ended() {
    watches_.clear();
    if (!inOrder_) return;
    folder_.Delete(own_);
    for (const std::wstring& name : taken_)
        folder_.Delete(name);
}

void RecordKeeping::SetAside(const std::wstring& name) {
    const std::wstring aside = name + L".bad";
    if (!folder_.Rename(name, aside)) return;
    notices_.push_back(L"改动记录文件无法读取，已改名保留：\r\n" + folder_.PathOf(aside));
}

void RecordKeeping::Watch(const ProcessStamp& copy) {
    if (watches_.count(copy) != 0) return;
    // Held even when empty (a copy that cannot be watched), to ask once.
    watches_[copy] = lifetimes_.WhenEnded(copy, [this] {
        if (CopyEnded) CopyEnded();
    });
}

std::optional<std::wstring> RecordKeeping::HandOut() {
    const std::vector<RecordedWindow> windows = record_.Windows();
    if (windows.empty()) return std::wstring();
    const std::wstring handed = Stem(self_) + std::wstring(kHanded);
    if (!folder_.Write(handed, WriteRecordFile({windows, true}))) return std::nullopt;
    return folder_.PathOf(handed);
}

void RecordKeeping::KeepAfterAll() {
    folder_.Delete(Stem(self_) + std::wstring(kHanded));
}

bool RecordKeeping::HandedOver(std::chrono::milliseconds timeout) {
    const std::wstring handed = Stem(self_) + std::wstring(kHanded);
    if (!folder_.WaitGone(handed, timeout)) {
        // Taken back in one step, unless the new copy claimed it first. A
        // rename that failed with the file still there (held by a scanner,
        // say) claims nothing: this copy keeps its record, as the new copy
        // may yet take it too.
        const std::wstring kept = handed + std::wstring(kKept);
        if (folder_.Rename(handed, kept)) {
            folder_.Delete(kept);
            return false;
        }
        if (!folder_.WaitGone(handed, std::chrono::milliseconds(0))) {
            folder_.Delete(handed);
            return false;
        }
    }
    record_.Clear();
    Save();  // this copy's own file goes: the new copy's holds the record
    return true;
}

void RecordKeeping::TakeHanded(const std::wstring& path) {
    // Only a hand-over file, on a local drive, of a copy still running
    // (the one that started this copy waits for it), marked as handed.
    const std::wstring name = FileNameOf(path);
    const bool local =
        path.size() > 3 && path[1] == L':' && path[2] == L'\\' &&
        ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    if (!local || !name.ends_with(kHanded)) return;
    const std::optional<ProcessStamp> owner =
        OwnerOf(name.substr(0, name.size() - kHanded.size()) + std::wstring(kSuffix));
    if (!owner || *owner == self_ || !lifetimes_.Running(*owner)) return;
    const std::optional<std::string> bytes = folder_.ReadAt(path, kRecordFileLimit);
    const std::optional<RecordFile> file = bytes ? ReadRecordFile(*bytes) : std::nullopt;
    if (!file || !file->left) return;
    std::vector<ChangeRecord::Held> held;
    for (const RecordedWindow& window : file->windows)
        held.push_back(record_.Hold(window.window));
    record_.Adopt(file->windows);
    // In this copy's own file before it is claimed: the old copy lets go
    // of it once it is gone. Not on disk here, it is left to the old copy.
    const std::wstring claimed = path + std::wstring(kClaimed);
    if (Save() && folder_.RenameAt(path, claimed)) {
        folder_.DeleteAt(claimed);
        return;
    }
    // Taken back by the old copy, too late: none of it is this copy's.
    for (const ChangeRecord::Held& window : held)
        record_.Drop(window);
    Save();
}

std::wstring RecordKeeping::NameFrom(const ProcessStamp& owner) {
    return Stem(self_) + L".from-" + Stem(owner) + L"." + std::to_wstring(++takings_) +
           std::wstring(kSuffix);
}

void RecordKeeping::TakeFile(const std::wstring& mine, std::vector<ChangeRecord::Named>& offered) {
    const std::optional<std::string> bytes = folder_.Read(mine, kRecordFileLimit);
    const std::optional<RecordFile> file = bytes ? ReadRecordFile(*bytes) : std::nullopt;
    if (!file) {
        SetAside(mine);
        return;
    }
    const std::vector<ChangeRecord::Named> adopted = record_.Adopt(file->windows);
    if (!file->left) offered.insert(offered.end(), adopted.begin(), adopted.end());
    taken_.push_back(mine);
}

void RecordKeeping::RemoveLeftovers() {
    // Being written (Write's temporary), handed over, claimed, taken back.
    static constexpr std::wstring_view kLeftovers[] = {L".record.tmp", L".handed", L".handed.tmp",
                                                       L".handed.taken", L".handed.kept"};
    for (const std::wstring_view suffix : kLeftovers) {
        for (const std::wstring& name : folder_.Files(std::wstring(suffix))) {
            std::wstring stem = name.substr(0, name.find(L'.'));
            const std::optional<ProcessStamp> owner = OwnerOf(stem.append(kSuffix));
            if (owner && *owner != self_ && !lifetimes_.Running(*owner)) folder_.Delete(name);
        }
    }
}

std::vector<ChangeRecord::Named> RecordKeeping::TakeOver(
    const std::optional<std::wstring>& handed) {
    std::vector<ChangeRecord::Named> offered;
    if (handed) TakeHanded(*handed);
    for (const std::wstring& name : folder_.Files(std::wstring(kSuffix))) {
        const std::optional<ProcessStamp> owner = OwnerOf(name);
        if (!owner || *owner == self_) continue;
        if (lifetimes_.Running(*owner)) {
            Watch(*owner);
            continue;
        }
        const std::wstring mine = NameFrom(*owner);
        if (!folder_.Rename(name, mine)) continue;  // another copy took it first
        TakeFile(mine, offered);
    }
    RemoveLeftovers();
    // Theirs go once this copy's file holds what was taken from them.
    Save();
    return offered;
}

std::wstring LeftOverQuestion(const std::vector<ChangeRecord::Named>& windows, bool atStart) {
    // A copy that ended while this one ran is not "the last run".
    const std::wstring who = atStart ? L"上次运行时本程序" : L"另一个已结束的本程序副本";
    return WindowsMessage(who + L"改动的 " +
                              DecimalText(static_cast<std::int32_t>(windows.size())) +
                              L" 个窗口仍未恢复：",
                          {WindowLines(windows)}, L"\r\n\r\n现在恢复吗？");
}

}  // namespace vindrel
