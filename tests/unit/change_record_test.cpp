// Putting back what the program changed in other programs' windows: the
// system-menu item, and the question asked before closing.
#include <gtest/gtest.h>

#include <algorithm>

#include "form_fixture.h"
#include "platform/text.h"

namespace vindrel::testing {
namespace {

using Answer = Interaction::Answer;

class ChangeRecordTest : public FormTest {
protected:
    void Hide(Hwnd window) {
        With(window, [&] { Click("Command4"); });
    }
    void Rename(Hwnd window, const std::wstring& title) {
        Box("Text5").SetText(title);
        With(window, [&] { Click("Command22"); });
    }
    void Opacity(Hwnd window, int value) {
        With(window, [&] { toolkit.Get<FakeScrollBar>("HScroll2").SetValue(value); });
    }
    void With(Hwnd window, const std::function<void()>& command) {
        Box("Text2").SetText(std::to_wstring(window));
        command();
        toolkit.messages.clear();
    }
    FakeForm& Window() { return toolkit.Window(); }
    // A layered window with its attributes set by SetLayeredWindowAttributes.
    FakeWindow& AddLayered(Hwnd window, Pid pid, std::string title, std::uint8_t alpha,
                           std::uint32_t key, std::uint32_t flags) {
        auto& added = ws.AddWindow(window, pid, std::move(title));
        added.exStyle = api::kWsExLayered;
        added.alpha = alpha;
        added.layeredKey = key;
        added.layeredFlags = flags;
        return added;
    }
};

TEST_F(ChangeRecordTest, PutsBackTheFirstStateOfWhatWasChangedAndNamesTheWindowsGone) {
    ws.processes = {{10, "a.exe"}, {20, "b.exe"}, {30, "c.exe"}, {40, "d.exe"},
                    {50, "e.exe"}, {60, "f.exe"}, {65, "g.exe"}};
    ws.AddWindow(100, 10, "hidden twice");
    AddLayered(200, 20, "layered", 128, 0x123456, 3);
    ws.AddWindow(300, 30, "plain").exStyle = 0x100;
    const std::wstring longTitle = L"原来的标题😀" + std::wstring(300, L'x');
    ws.AddWindow(400, 40).title = longTitle;
    ws.AddWindow(500, 50, "closes");
    ws.AddWindow(600, 60, "handle reused");
    ws.AddWindow(650, 65, "handle reused, hidden again");
    ws.AddWindow(700, FakeWindowSystem::kOwnPid, "own");
    ws.AddWindow(800, 10, "hidden before").visible = false;
    ws.AddWindow(900, 10, "drawn by UpdateLayeredWindow").exStyle = api::kWsExLayered;
    ws.AddWindow(960, 10, "hidden parent").visible = false;
    ws.AddWindow(961, 10, "its child").parent = 960;
    EXPECT_EQ(Window().menuItems,
              (std::vector<std::wstring>{L"恢复被本程序改动的窗口(&U)", L"所有窗口(&W)...",
                                         L"老板键(&B)..."}));
    Opacity(700, 10);
    EXPECT_FALSE(Window().MenuItemShownEnabled());  // the program's own windows are not recorded

    Hide(100);
    Hide(100);
    Opacity(200, 0);
    Opacity(200, 51);
    Opacity(300, 10);
    Opacity(300, 0);
    Rename(400, L"新的");
    Rename(400, L"又一个");
    for (const Hwnd w : {500, 600, 650, 800, 961})
        Hide(w);
    Opacity(900, 3);  // not recorded: nothing to put it back to
    ws.windows.erase(ws.windows.begin() + 4, ws.windows.begin() + 7);  // 500, 600 and 650 go
    ws.AddWindow(600, 61, "another process").visible = false;
    ws.processes.push_back({66, "h.exe"});
    ws.AddWindow(650, 66, "another process, hidden by us");
    Hide(650);

    ws.calls.clear();
    Window().UserChooseMenuItem();
    EXPECT_TRUE(ws.Find(100)->visible);
    EXPECT_EQ(ws.Find(200)->exStyle, api::kWsExLayered);
    EXPECT_EQ(ws.Find(200)->alpha, 128);
    EXPECT_EQ(ws.Find(200)->layeredKey, 0x123456u);
    EXPECT_EQ(ws.Find(200)->layeredFlags, 3u);
    EXPECT_EQ(ws.Find(300)->exStyle, 0x100);
    EXPECT_FALSE(ws.Find(300)->alpha);
    EXPECT_EQ(ws.Find(400)->title, longTitle);
    EXPECT_FALSE(ws.Find(600)->visible);  // not the window that was hidden
    EXPECT_TRUE(ws.Find(650)->visible);   // the one hidden last
    EXPECT_FALSE(ws.Find(800)->visible);  // not hidden by the program
    EXPECT_TRUE(ws.Find(961)->visible);   // its own flag, though its parent is hidden
    EXPECT_EQ(ws.Find(900)->alpha, 15);
    // Only what was changed is put back, and the processes are named from
    // one snapshot.
    EXPECT_EQ(ws.calls["ShowWindow"], 3);
    EXPECT_EQ(ws.calls["SetWindowTextW"], 1);
    EXPECT_EQ(ws.calls["SetLayeredWindowAttributes"], 1);
    EXPECT_LE(ws.calls["CreateToolhelp32Snapshot"], 1);
    EXPECT_EQ(TakeMessages(), std::vector<std::wstring>{
                                  L"已恢复 6 个窗口\r\n\r\n已不存在的窗口："
                                  L"\r\ne.exe  “closes”  500\r\nf.exe  “handle reused”  600"});
    EXPECT_FALSE(Window().MenuItemShownEnabled());
    Window().UserChooseMenuItem();  // greyed: nothing happens
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(ChangeRecordTest, ClosingAsksOnceAboutTheWindowsStillUnseen) {
    ws.processes = {{10, "a.exe"}};
    for (Hwnd w = 100; w < 117; ++w) {
        std::string title = "w";  // appended: GCC 12 warns falsely on "w" + string
        title += std::to_string(w);
        ws.AddWindow(w, 10, title);
    }
    ws.Find(116)->title = std::wstring(300, L'x');  // cut to keep the box readable
    ws.AddWindow(200, 10, "see-through");
    ws.AddWindow(300, 10, "renamed");
    Rename(300, L"x");
    Window().UserClose();  // nothing unseen: no question
    EXPECT_TRUE(Window().closed);
    EXPECT_TRUE(TakeMessages().empty());
    Window().closed = false;

    for (Hwnd w = 117; w-- > 100;)  // listed in the order recorded
        Hide(w);
    Opacity(200, 1);  // alpha 5, one step from the left: too faint to see
    AddLayered(201, 10, "see-through before", 0, 0, api::kLwaAlpha);
    Opacity(201, 1);  // the bar stands at 0 already
    Opacity(201, 0);
    ws.AddWindow(203, 10, "half see-through");
    Opacity(203, 25);
    ws.AddWindow(202, 10, "gone");
    Hide(202);
    ws.windows.pop_back();
    // Shown again, or minimised, by the user: the program no longer keeps
    // them hidden, even once their own program hides them.
    With(101, [&] { Click("Command8"); });
    With(102, [&] { Click("Command17"); });
    for (const Hwnd w : {101, 102})
        ws.Find(w)->visible = false;
    toolkit.answers = {Answer::Cancel, Answer::Yes};
    toolkit.onMessage = [&](const ShownMessage&) { Window().UserClose(); };  // dropped
    Window().UserClose();
    EXPECT_FALSE(Window().closed);
    auto asked = TakeMessages();
    ASSERT_EQ(asked.size(), 1u);
    std::wstring expected = L"有 16 个被本程序隐藏的窗口仍看不见：";
    expected += L"\r\na.exe  “" + std::wstring(60, L'x') + L"…”  116";
    for (const Hwnd w : {115, 114, 113, 112, 111, 110, 109, 108, 107, 106, 105, 104, 103, 100})
        expected += L"\r\na.exe  “w" + std::to_wstring(w) + L"”  " + std::to_wstring(w);
    expected += L"\r\n……另有 1 个\r\n\r\n退出前把它们恢复吗？";
    EXPECT_EQ(asked[0], expected);

    toolkit.onMessage = nullptr;
    Window().UserClose();
    EXPECT_TRUE(Window().closed);
    EXPECT_EQ(TakeMessages().size(), 1u);
    for (Hwnd w = 100; w < 117; ++w)
        EXPECT_EQ(ws.Find(w)->visible, w != 101 && w != 102) << w;
    EXPECT_EQ(ws.Find(200)->exStyle, 0);
    EXPECT_EQ(ws.Find(300)->title, L"x");  // not unseen: left to the menu item
    EXPECT_TRUE(Window().MenuItemShownEnabled());
}

TEST_F(ChangeRecordTest, EveryPartIsTriedAndReadBackAndARefusalIsReportedAndKept) {
    ws.AddWindow(100, 10, "refuses");
    AddLayered(200, 20, "layered, then refuses", 125, 0x123456, 3);
    ws.AddWindow(300, 30, "keeps its title");
    Opacity(100, 10);
    Opacity(200, 25);  // alpha 125 again, with our colour key and flags
    Rename(300, L"新");
    Hide(300);
    ws.Find(300)->title = L"its own";
    ws.Find(300)->keepsTitle = true;
    for (const Hwnd w : {100, 200})
        ws.Find(w)->refuses = true;
    Window().UserChooseMenuItem();
    const auto report = TakeMessages();
    ASSERT_EQ(report.size(), 1u);
    EXPECT_EQ(report[0],
              L"已恢复 0 个窗口\r\n\r\n未能恢复的窗口："
              L"\r\n（未知进程）  “refuses”  100：窗口没有接受更改"
              L"\r\n（未知进程）  “layered, then refuses”  200：窗口没有接受更改"
              L"\r\n（未知进程）  “its own”  300：窗口没有接受更改");
    EXPECT_TRUE(ws.Find(300)->visible);  // the title refused, the rest put back
    EXPECT_TRUE(Window().MenuItemShownEnabled());

    ws.Find(200)->refuses = false;
    Window().UserChooseMenuItem();
    EXPECT_EQ(ws.Find(200)->alpha, 125);
    EXPECT_EQ(ws.Find(200)->layeredKey, 0x123456u);
    EXPECT_EQ(ws.Find(200)->layeredFlags, 3u);
    EXPECT_TRUE(TakeMessages()[0].starts_with(L"已恢复 1 个窗口"));
    // Shown by the put-back, 300 is no longer kept hidden by the program,
    // though its title stays recorded: hidden by its own program, it is
    // not asked about.
    ws.Find(300)->visible = false;
    Window().UserClose();
    EXPECT_TRUE(Window().closed);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(ChangeRecordTest, AChangeThatCannotBePutBackOrChangesNothingIsNotCounted) {
    ws.AddWindow(100, 10, "drawn by UpdateLayeredWindow").exStyle = api::kWsExLayered;
    Opacity(100, 3);
    Opacity(100, 10);  // readable now, but only our own change
    ws.AddWindow(200, 10, "hidden already").visible = false;
    Hide(200);
    EXPECT_FALSE(Window().MenuItemShownEnabled());
    // Shown again by its own program: nothing left to put back.
    ws.AddWindow(300, 10, "shows itself");
    Hide(300);
    ws.Find(300)->visible = true;
    Window().UserChooseMenuItem();
    EXPECT_EQ(TakeMessages(), std::vector<std::wstring>{L"已恢复 0 个窗口"});
    EXPECT_FALSE(Window().MenuItemShownEnabled());
}

constexpr wchar_t kOwnFile[] = L"4000-777.record";

// A window of process 10 (started at 5) as another copy recorded it.
RecordedWindow Recorded(Hwnd window, bool hid, std::uint64_t created = 5) {
    return {window, 10, created, L"FakeWindowClass", L"a.exe", hid};
}

TEST_F(ChangeRecordTest, TheRecordIsOnDiskBeforeEachChangeUntilPutBackOrAnOrderlyEnd) {
    lifetimes.running[10] = 5;
    ws.processes = {{10, "a.exe"}};
    ws.AddWindow(100, 10, "a");
    ws.AddWindow(101, 10, "b");
    bool visibleAsWritten = false;
    folder.onWrite = [&] { visibleAsWritten = ws.Find(100)->visible; };
    Hide(100);
    EXPECT_TRUE(visibleAsWritten);
    folder.onWrite = nullptr;
    Rename(101, L"新");
    auto saved = ReadRecordFile(folder.files.at(kOwnFile));
    ASSERT_TRUE(saved);
    const RecordedWindow renamed{.window = 101,
                                 .pid = 10,
                                 .created = 5,
                                 .className = L"FakeWindowClass",
                                 .process = L"a.exe",
                                 .title = L"b",
                                 .setTitle = L"新"};
    EXPECT_EQ(saved->windows, (std::vector{Recorded(100, true), renamed}));
    ws.Find(101)->pid = 11;  // its handle now another process's: left out
    Click("Command7");
    EXPECT_EQ(ReadRecordFile(folder.files.at(kOwnFile))->windows.size(), 1u);
    ws.Find(101)->pid = 10;
    Window().UserChooseMenuItem();
    EXPECT_TRUE(folder.files.empty());

    // Another copy, ended with a title still recorded: after 是 at the
    // closing question its file goes; after 否 it stays, saying so; with no
    // close at all (the session ends, a quit from outside) it stays as it is.
    for (const std::optional<Answer> answer :
         {std::optional(Answer::Yes), std::optional(Answer::No), std::optional<Answer>()}) {
        FakeToolkit other;
        FakeRecordFolder disk;
        {
            Form1 copy(other, other, ws, wmi, rights, disk, lifetimes);
            other.Get<FakeTextBox>("Text5").SetText(L"新");
            for (const auto* button : {"Command4", "Command22"}) {
                other.Get<FakeTextBox>("Text2").SetText(button[7] == '4' ? L"100" : L"101");
                other.Get<FakeButton>(button).UserClick();
            }
            if (answer) {
                other.answers = {*answer};
                other.Window().UserClose();
            }
        }
        saved = disk.files.empty() ? std::nullopt : ReadRecordFile(disk.files.at(kOwnFile));
        EXPECT_EQ(saved.has_value(), answer != Answer::Yes);
        EXPECT_TRUE(!saved || saved->left == (answer == Answer::No));
        ws.Find(100)->visible = true;
    }
}

TEST_F(ChangeRecordTest, AtStartTheWindowsThatEndedCopiesLeftChangedAreTakenOnlyWhereStillSo) {
    lifetimes.running[10] = 5;
    ws.processes = {{10, "a.exe"}};
    ws.AddWindow(100, 10, "hidden").visible = false;
    ws.AddWindow(101, 10, "as set");
    ws.AddWindow(102, 10, "retitled itself");
    ws.AddWindow(103, 10, "handle reused").className = L"Other";
    ws.Find(103)->visible = false;
    ws.AddWindow(104, 10, "process id reused").visible = false;
    ws.AddWindow(105, 10, "left so").visible = false;
    ws.AddWindow(106, FakeWindowSystem::kOwnPid, "the program's own").visible = false;
    ws.AddWindow(107, 10, "before");  // set back as it was
    ws.AddWindow(108, 11, "its process's start unknown").visible = false;
    ws.AddWindow(109, 10, "hidden by the other copy").visible = false;
    Rename(109, L"held already");
    ws.AddWindow(110, 10, "theirs");  // renamed by the other copy first
    Rename(110, L"ours");
    RecordedWindow titled = Recorded(101, false), retitled = Recorded(102, false),
                   setBack = Recorded(107, false), own = Recorded(106, true, 777),
                   unknown = Recorded(108, true, 0);
    titled.title = retitled.title = setBack.title = setBack.setTitle = L"before";
    titled.setTitle = retitled.setTitle = L"as set";
    own.pid = FakeWindowSystem::kOwnPid;
    unknown.pid = 11;
    RecordedWindow renamedFirst = Recorded(110, false);
    renamedFirst.title = L"own";
    renamedFirst.setTitle = L"theirs";
    folder.files[L"9-3.record"] = WriteRecordFile(
        {{Recorded(100, true), titled, retitled, Recorded(103, true), Recorded(104, true, 4), own,
          setBack, unknown, Recorded(109, true), renamedFirst}});
    folder.files[L"8-3.record"] = WriteRecordFile({{Recorded(105, true)}, true});
    folder.files[L"10-5.record"] = "a running copy's file";
    folder.files[L"7-1.record"] = std::string("\x9f\x00 random", 9);
    // Half-written files: an ended copy's goes, a running one's stays.
    folder.files[L"9-3.record.tmp"] = folder.files[L"10-5.record.tmp"] = "half";
    // A copy started at once takes one first (renames it): this one skips it.
    lifetimes.running[4004] = 778;
    folder.afterListing = [&] { folder.Rename(L"7-1.record", L"4004-778.from-7-1.1.record"); };
    toolkit.answers = {Answer::No};
    Window().DeliverNotifications();
    EXPECT_EQ(TakeMessages(),
              (std::vector<std::wstring>{
                  L"上次运行时本程序改动的 2 个窗口仍未恢复：\r\na.exe  “hidden”  100"
                  L"\r\na.exe  “as set”  101\r\n\r\n现在恢复吗？"}));
    EXPECT_EQ(folder.files.size(), 4u);  // theirs gone once ours holds their windows
    for (const wchar_t* name :
         {L"10-5.record", L"10-5.record.tmp", L"4004-778.from-7-1.1.record", kOwnFile})
        EXPECT_EQ(folder.files.count(name), 1u) << name;

    // 否, and a file the user left so: taken in without a word.
    Window().UserChooseMenuItem();
    EXPECT_EQ(TakeMessages().front().substr(0, 9), L"已恢复 5 个窗口");
    EXPECT_EQ(ws.Find(110)->title, L"own");
    for (const Hwnd w : {100, 105, 109})
        EXPECT_TRUE(ws.Find(w)->visible);
    EXPECT_EQ(ws.Find(101)->title, L"before");
    EXPECT_EQ(ws.Find(102)->title, L"retitled itself");
    EXPECT_FALSE(ws.Find(103)->visible);
    EXPECT_FALSE(ws.Find(104)->visible);

    // The copy that was running ends: its file is taken in turn, and asked
    // about as that copy's, not the last run's.
    lifetimes.End({10, 5});
    Window().DeliverNotifications();
    EXPECT_EQ(
        TakeMessages(),
        std::vector<std::wstring>{
            L"改动记录文件无法读取，已改名保留：\r\nC:\\Record\\4000-777.from-10-5.4.record.bad"});
    ws.AddWindow(111, 10, "hidden by a copy running").visible = false;
    lifetimes.running[10] = 5;
    lifetimes.running[13] = 6;
    folder.files[L"13-6.record"] = WriteRecordFile({{Recorded(111, true)}});
    Window().Notify();
    Window().DeliverNotifications();  // running: watched
    toolkit.answers = {Answer::No};
    lifetimes.End({13, 6});
    Window().DeliverNotifications();
    EXPECT_EQ(TakeMessages(),
              std::vector<std::wstring>{
                  L"另一个已结束的本程序副本改动的 1 个窗口仍未恢复："
                  L"\r\na.exe  “hidden by a copy running”  111\r\n\r\n现在恢复吗？"});
}

TEST_F(ChangeRecordTest, AFolderThatCannotBeWrittenIsToldOnceAndTheChangesStillHappen) {
    folder.unwritable = true;
    lifetimes.running[10] = 5;
    ws.AddWindow(99, 10, "left so").visible = false;
    folder.files[L"9-3.record"] = WriteRecordFile({{Recorded(99, true)}, true});
    Window().DeliverNotifications();  // taken in; the file it came from stays
    EXPECT_EQ(folder.files.count(L"4000-777.from-9-3.1.record"), 1u);
    ws.AddWindow(100, 10, "a");
    ws.AddWindow(101, 10, "b");
    for (const Hwnd w : {100, 101}) {
        Box("Text2").SetText(std::to_wstring(w));
        Click("Command4");
        EXPECT_FALSE(ws.Find(w)->visible);
    }
    EXPECT_EQ(TakeMessages(), (std::vector<std::wstring>{
                                  L"改动记录无法保存到磁盘：\r\nC:\\Record\\4000-777.record\r\n\r\n"
                                  L"改动照常进行，只记在内存中；本程序若意外退出，"
                                  L"将无法帮你找回这些窗口。",
                                  L"成功", L"成功"}));
}

}  // namespace
}  // namespace vindrel::testing
