#include "ui/form1.h"

#include <algorithm>
#include <utility>

#include "actions/target.h"
#include "platform/conversions.h"
#include "platform/step_error.h"
#include "table/window_reading.h"
#include "table/window_state.h"
#include "ui/layout.h"

namespace vindrel {

namespace {

// A copy started as administrator tries for the key for 15 s, a try
// each sweep: the copy that started it ends within the hand-over time.
constexpr int kBossTries = 60;

}  // namespace

Form1::Form1(ControlFactory& factory, Interaction& interaction, WindowSystem& ws, WmiListing& wmi,
             ProcessRights& rights, RecordFolder& folder, Lifetimes& lifetimes)
    : factory_(factory),
      interaction_(interaction),
      ws_(ws),
      wmi_(wmi),
      processRights_(rights),
      folder_(folder),
      lifetimes_(lifetimes),
      controls_(factory, layout::kForm1, layout::kControls) {
    Connect(Command1.Click, &Form1::Command1_Click);
    Connect(Command7.Click, &Form1::Command7_Click);
    Connect(Command14.Click, &Form1::Command14_Click);
    Connect(List1.Click, &Form1::List1_Click);
    Connect(List2.Click, &Form1::List2_Click);
    Connect(List3.Click, &Form1::List3_Click);
    Connect(Text2.Change, &Form1::Text2_Change);
    Connect(Text3.Change, &Form1::Text3_Change);
    Connect(Text4.Change, &Form1::Text4_Change);
    Connect(Command4.Click, &Form1::Command4_Click);
    Connect(Command8.Click, &Form1::Command8_Click);
    Connect(Command17.Click, &Form1::Command17_Click);
    Connect(Command19.Click, &Form1::Command19_Click);
    Connect(Command21.Click, &Form1::Command21_Click);
    Connect(Command9.Click, &Form1::Command9_Click);
    Connect(Command22.Click, &Form1::Command22_Click);
    Connect(Command18.Click, &Form1::Command18_Click);
    Connect(Command6.Click, &Form1::Command6_Click);
    Connect(Command5.Click, &Form1::Command5_Click);
    Connect(Check1.Click, &Form1::Check1_Click);
    Connect(Option1.Click, &Form1::Option1_Click);
    Connect(Option2.Click, &Form1::Option2_Click);
    Connect(Timer1.Tick, &Form1::Timer1_Timer);
    Connect(HScroll2.Change, &Form1::HScroll2_Change);
    Connect(HScroll2.EndScroll, &Form1::HScroll2_EndScroll);
    Connect(HScroll1.Change, &Form1::HScroll1_Change);
    Connect(Finder1.DragStart, &Form1::Finder1_DragStart);
    Connect(Finder1.DragMove, &Form1::Finder1_DragMove);
    Connect(Finder1.DragEnd, &Form1::Finder1_DragEnd);
    Connect(Label9.Click, &Form1::Label9_Click);
    MenuItem& restore = Window().AddMenuItem(std::wstring(layout::kRestoreMenuItem));
    restore.Enabled = [this] { return !record_.Empty(); };
    Connect(restore.Click, &Form1::mnuRestore_Click);
    Connect(Window().AddMenuItem(std::wstring(layout::kWindowListMenuItem)).Click,
            &Form1::mnuWindows_Click);
    Connect(Window().AddMenuItem(std::wstring(layout::kBossKeyMenuItem)).Click,
            &Form1::mnuBossKey_Click);
    for (ListBox* list : {&List4, &List1, &List2, &List3})
        Connect(list->DblClick, [this, list] { Table_DblClick(*list); });
    Window().QueryUnload = [this] {
        // A failed step keeps the window, after its report.
        bool close = false;
        Handle([this, &close] { close = Form_QueryUnload(); });
        return close;
    };
    // Each change is on disk before it is made.
    record_.Changed = [this] { keeping_.Save(); };
    keeping_.CopyEnded = [this] { Window().Notify(); };
    Connect(Window().Notified, &Form1::TakeOverRecords);
    Connect(Window().HotKeyPressed, &Form1::Form_HotKey);
    Connect(Window().Activated, &Form1::Form_Activate);
    Connect(tmrBoss.Tick, &Form1::tmrBoss_Timer);
    Connect(Window().WindowShown, &Form1::Form_WindowShown);
    Window().SessionEnding = [this] { Form_QueryEndSession(); };
    Connect(Window().SessionResumed, &Form1::Form_SessionResumed);
    Window().CommandHanded = [this](HandedCommand& handed) {
        Handle([this, &handed] { Form_CommandHanded(handed); });
    };
    Connect(tmrTray.Tick, &Form1::tmrTray_Timer);
    Connect(Window().TrayClicked, &Form1::ShowMainWindow);
    Connect(Window().TrayMenuAsked, &Form1::Form_TrayMenu);
    Connect(Window().ShellRestarted, &Form1::Form_ShellRestarted);
    Connect(Window().ShowRequested, &Form1::ShowMainWindow);
    // Another start finds this copy while it holds a key, wherever its
    // window is.
    Window().ShowAsked = [this] { return keyHeld_; };
    // The key stays in reach: the user's close puts the window into the
    // notification area, while an icon there can bring it back. Any other
    // close (the restart as administrator, another program's) ends it.
    Window().CloseBox = [this] {
        if (!keyHeld_ || !tray_.Held()) return false;
        HideToTray();
        return true;
    };
    interaction_.Queued = [this] { KeepTrayIcon(); };
}

Form1::~Form1() {
    tray_.Keep(std::nullopt);
    keeping_.Ended();
    flashing_.Stop();
    windowList_.reset();
    bossDialog_.reset();
    controls_.DestroyWindow();
}

void Form1::Connect(Event& event, void (Form1::*handling)()) {
    Connect(event, [this, handling] { (this->*handling)(); });
}

void Form1::Connect(Event& event, std::function<void()> handling) {
    event.Connect([this, handling = std::move(handling)] { Handle(handling); });
}

void Form1::Handle(const std::function<void()>& handling) {
    try {
        handling();
    } catch (const StepError& failure) {
        interaction_.MsgBox(failure.Prompt());
    }
    keeping_.Save();
    TellRecordNotices();
}

void Form1::TellRecordNotices() {
    for (const std::wstring& notice : keeping_.TakeNotices())
        interaction_.MsgBox(notice);
}

void Form1::Form_Load(const RestartArguments& started) {
    Label9.SetVisible(false);
    Window().SetCaption(L"Vindrel（测试版）---------By Tamsk");
    Label8.SetCaption(std::wstring(L"【Tamsk制作】") + L"\r\n" +
                      L"更多内容请访问我的主页（2016年11月开放）");
    Label9.SetCaption(std::wstring(layout::kHomepage));
    Command6.SetVisible(false);
    Command14.SetVisible(false);
    Command18.SetVisible(false);
    HScroll1.SetVisible(false);
    Label7.SetVisible(false);
    Frame5.SetVisible(false);
    Frame6.SetVisible(false);
    if (started.handle) Text2.SetText(DecimalText(*started.handle));
    // A record is handed only to a copy started as administrator.
    if (processRights_.Elevated()) handed_ = started.record;
    // Every copy knows the boss key's settings, so that its dialog never
    // writes over them unknowing. A copy started with arguments takes no
    // key, except one restarted as administrator: once the copy that
    // started it has ended and let the key go.
    LoadBossSettings();
    if (!started.handle && !started.record) {
        TakeBossKey(false);
    } else if (processRights_.Elevated()) {
        bossTries_ = kBossTries;
        KeepBossWatch();
    }
    Window().AcceptCommands();
    KeepTrayIcon();
    Window().Notify();
}

void Form1::TellOnceOfSnapshot(const ProcessList& listed) {
    if (!listed.wmiFailure || toldOfSnapshot_) return;
    toldOfSnapshot_ = true;
    interaction_.MsgBox(SnapshotNotice(*listed.wmiFailure));
}

void Form1::Command1_Click() {
    ProcessList listed;
    try {
        listed = ListProcesses(wmi_, ws_);
    } catch (const StepError&) {
        // Its rows may name windows gone since, or handles reused: none is
        // left to act on. A refresh that succeeds writes the table whole.
        Clear(table_);
        throw;
    }
    Refresh(table_, ws_, listed.processes);
    TellOnceOfSnapshot(listed);
}

void Form1::Command7_Click() {
    Clear(table_);
}

void Form1::Command14_Click() {
    const ProcessList listed = ListProcesses(wmi_, ws_);
    AppendNames(List4, listed.processes);
    TellOnceOfSnapshot(listed);
}

void Form1::List1_Click() {
    selection_.TitleRowSelected();
}

void Form1::List2_Click() {
    selection_.HandleRowSelected();
}

void Form1::List3_Click() {
    selection_.PidRowSelected();
}

void Form1::Text2_Change() {
    flashing_.TargetChanged();
}

void Form1::Text3_Change() {
    RowSelection::Search(Text3, List2);
}

void Form1::Text4_Change() {
    RowSelection::Search(Text4, List3);
}

void Form1::Command4_Click() {
    reports_.Tell(commands_.Hide());
}

void Form1::Command8_Click() {
    reports_.Tell(commands_.Show());
}

void Form1::Command17_Click() {
    reports_.Tell(commands_.Minimise());
}

void Form1::Command19_Click() {
    reports_.Tell(commands_.Restore());
}

void Form1::Command21_Click() {
    commands_.Activate();
}

void Form1::Command9_Click() {
    reports_.Tell(commands_.AskToClose());
}

void Form1::Command22_Click() {
    reports_.Tell(commands_.Rename());
}

void Form1::Command18_Click() {
    reports_.Tell(commands_.CheckValid());
}

void Form1::Command6_Click() {
    reports_.Tell(commands_.CheckVisible());
}

void Form1::Command5_Click() {
    commands_.FindHandle();
}

void Form1::Check1_Click() {
    flashing_.Switched();
}

void Form1::Option1_Click() {
    flashing_.FastChosen();
}

void Form1::Option2_Click() {
    flashing_.SlowChosen();
}

void Form1::Timer1_Timer() {
    flashing_.Tick();
}

void Form1::HScroll2_Change() {
    reports_.Hold(HScroll2, [this] {
        // The scroll value is read before the target handle box.
        const std::int16_t alpha = ScaledAlpha(static_cast<std::int16_t>(HScroll2.Value()));
        return opacity_.touming2(alpha, HandleIn(Text2));
    });
}

void Form1::HScroll2_EndScroll() {
    reports_.GestureEnded();
}

void Form1::HScroll1_Change() {
    opacity_.touming(static_cast<std::int16_t>(HScroll1.Value()));
}

void Form1::Finder1_DragStart() {
    finding_.Started();
}

void Form1::Finder1_DragMove() {
    finding_.Moved();
}

void Form1::Finder1_DragEnd() {
    finding_.Ended();
}

void Form1::Label9_Click() {
    interaction_.Shell(L"explorer " + std::wstring(layout::kHomepage));
}

void Form1::mnuRestore_Click() {
    reports_.Tell(PutBackReport(record_.PutBack(path_), true));
}

void Form1::TakeOverRecords() {
    // Its question waits for the window.
    if (InTray()) {
        takeOverWaiting_ = true;
        KeepTrayIcon();
        return;
    }
    const bool atStart = !startedUp_;
    startedUp_ = true;
    const std::vector<ChangeRecord::Named> left = keeping_.TakeOver(std::exchange(handed_, {}));
    TellRecordNotices();
    if (left.empty()) return;
    if (interaction_.Ask(LeftOverQuestion(left, atStart), Interaction::Choices::YesNo) ==
        Interaction::Answer::Yes) {
        reports_.Tell(PutBackReport(record_.PutBack(path_, left), true));
    }
}

bool Form1::Form_QueryUnload() {
    const std::vector<ChangeRecord::Named> unseen = record_.Unseen();
    if (unseen.empty()) {
        keeping_.ClosesInOrder();
        return true;
    }
    switch (interaction_.Ask(UnseenQuestion(unseen))) {
        case Interaction::Answer::Yes: {
            // Read again: the boss key may have hidden more while the
            // question was open.
            const auto results = record_.PutBack(path_, record_.Unseen());
            // The program ends either way; what could not be put back is
            // said first, with no offer to start again.
            const bool failed = std::any_of(results.begin(), results.end(), [](const auto& r) {
                return r.outcome.kind == Outcome::Kind::Refused ||
                       r.outcome.kind == Outcome::Kind::Failed;
            });
            if (failed) reports_.Tell(PutBackReport(results, false));
            // What could not be put back stays on disk, for the next start.
            if (record_.Unseen().empty()) keeping_.ClosesInOrder();
            return true;
        }
        case Interaction::Answer::No:
            keeping_.LeftByUser();
            return true;
        case Interaction::Answer::Cancel:
            break;
    }
    return false;
}

void Form1::mnuWindows_Click() {
    OpenWindowList(std::nullopt);
}

void Form1::Table_DblClick(const ListBox& list) {
    const int row = list.ListIndex();
    if (row < 0) return;
    OpenWindowList(L"pid:" + List3.List(row));
}

void Form1::OpenWindowList(const std::optional<std::wstring>& search) {
    if (!windowList_) {
        windowList_ = std::make_unique<WindowList>(
            factory_, ws_, [this](Hwnd window, Pid pid) { return record_.Holds(window, pid); },
            [this](Hwnd window) { TakeWindow(window, Text2, List2); });
        WindowList& list = *windowList_;
        Connect(list.txtSearch.Change, &Form1::WindowList_Refilter);
        Connect(list.chkAll.Click, &Form1::WindowList_Refilter);
        Connect(list.chkLost.Click, &Form1::WindowList_Refilter);
        Connect(list.lvwWindows.ColumnClick, &Form1::lvwWindows_ColumnClick);
        Connect(list.lvwWindows.DblClick, &Form1::cmdChoose_Click);
        Connect(list.cmdChoose.Click, &Form1::cmdChoose_Click);
        Connect(list.lvwWindows.SelectionChange, &Form1::lvwWindows_SelectionChange);
        Connect(list.cmdRescue.Click, &Form1::cmdRescue_Click);
        Connect(list.cmdTopmost.Click, &Form1::cmdTopmost_Click);
        Connect(list.cmdBoss.Click, &Form1::cmdBoss_Click);
        Connect(list.cmdRefresh.Click, &Form1::cmdRefresh_Click);
        Connect(list.Window().RefreshKey, &Form1::cmdRefresh_Click);
        Connect(list.tmrRefresh.Tick, &Form1::tmrRefresh_Timer);
        Connect(list.Window().Reappeared, &Form1::cmdRefresh_Click);
        list.Window().QueryUnload = [this] {
            Handle([this] { windowList_->Close(); });
            return false;
        };
    }
    windowList_->Open(search);
}

void Form1::WindowList_Refilter() {
    windowList_->Refilter();
}

void Form1::lvwWindows_ColumnClick() {
    windowList_->SortByClickedColumn();
}

void Form1::cmdChoose_Click() {
    windowList_->Choose();
}

void Form1::lvwWindows_SelectionChange() {
    windowList_->UpdateButtons();
}

void Form1::cmdRescue_Click() {
    WindowList& list = *windowList_;
    list.cmdRescue.SetEnabled(false);  // until the list is read again
    const std::vector<RescueResult> results =
        rescue_.Rescue(list.SelectedWindows(), list.Monitor());
    list.Update();
    // The report belongs to the list, whatever a window shown maximised
    // took meanwhile.
    list.Window().Show();
    reports_.Tell(RescueReport(results, true));
    rescue_.BringLastToFront(results);
}

void Form1::cmdTopmost_Click() {
    WindowList& list = *windowList_;
    const std::vector<LostWindow> selected = list.SelectedWindows();
    if (selected.size() != 1) return;
    const Report report = commands_.SetTopmost(selected[0].window, selected[0].pid,
                                               !Topmost(ws_, selected[0].window));
    list.Update();
    reports_.Tell(report);
}

void Form1::cmdRefresh_Click() {
    windowList_->Update();
}

void Form1::tmrRefresh_Timer() {
    windowList_->Tick();
}

void Form1::LoadBossSettings() {
    LoadedSettings loaded = LoadSettings(folder_);
    if (loaded.notice) interaction_.MsgBox(*loaded.notice);
    bossSettings_ = std::move(loaded.settings);
    boss_.SetPrograms(bossSettings_.programs);
}

void Form1::TakeBossKey(bool quiet) {
    if (!bossSettings_.key) {
        bossTries_.reset();
        return;
    }
    bossKeyError_ = Window().SetHotKey(bossSettings_.key);
    keyHeld_ = bossKeyError_ == 0;
    KeepTrayIcon();
    if (bossKeyError_ == 0) {
        bossTries_.reset();
    } else if (!quiet) {
        interaction_.MsgBox(BossKeyNotTaken(*bossSettings_.key, bossKeyError_));
    }
}

void Form1::Form_HotKey() {
    BossDone(boss_.Toggle());
}

void Form1::tmrBoss_Timer() {
    // Quietly: the copy that started this one may hold it to the end. Not
    // while the dialog has let it go to record a new one.
    if (bossTries_ && --*bossTries_ >= 0 && !(bossDialog_ && bossDialog_->Window().Visible())) {
        TakeBossKey(true);
    }
    if (bossTries_ && *bossTries_ <= 0) bossTries_.reset();
    if (boss_.Sweeping()) {
        BossDone(boss_.Sweep());
    } else {
        KeepBossWatch();
    }
}

void Form1::BossDone(const BossResult& result) {
    // One line for each window, however often it refused.
    for (const ChangeRecord::PutBackResult& failed : result.failed) {
        std::erase_if(bossFailed_, [&](const ChangeRecord::PutBackResult& told) {
            return told.named.window == failed.named.window;
        });
        bossFailed_.push_back(failed);
    }
    if (!result.failed.empty()) {
        Window().TrayBalloon(L"老板键", L"没能隐藏或恢复 " + std::to_wstring(result.failed.size()) +
                                            L" 个窗口：右键单击图标查看，打开主窗口看原因");
    }
    KeepBossWatch();
    KeepTrayIcon();
}

void Form1::KeepBossWatch() {
    const bool sweeping = !boss_.Held() && boss_.Sweeping();
    tmrBoss.SetEnabled(sweeping || (!boss_.Held() && bossTries_.has_value()));
    Window().WatchShows(sweeping);
}

void Form1::Form_WindowShown() {
    if (boss_.Sweeping()) BossDone(boss_.Sweep());
}

void Form1::Form_Activate() {
    // Activated to hold the icon's menu: the menu still lists them.
    if (bossFailed_.empty() || InTray()) return;
    reports_.Tell(BossReport(std::exchange(bossFailed_, {})));
}

void Form1::mnuBossKey_Click() {
    OpenBossKey({});
}

void Form1::cmdBoss_Click() {
    std::vector<std::wstring> paths;
    for (const LostWindow& window : windowList_->SelectedWindows()) {
        // A store app's frame stands for the program it holds.
        const Pid pid = HostedProgram(ws_, window.window, window.pid, ClassOf(ws_, window.window))
                            .value_or(window.pid);
        if (const std::optional<std::wstring> path = ws_.ProcessImagePath(pid)) {
            paths.push_back(*path);
        }
    }
    OpenBossKey(paths);
}

void Form1::OpenBossKey(const std::vector<std::wstring>& add) {
    if (!bossDialog_) {
        bossDialog_ = std::make_unique<BossKeyDialog>(
            factory_, ws_,
            [this](const std::optional<HotKey>& key) {
                const std::uint32_t error = Window().SetHotKey(key);
                if (key && key == bossSettings_.key) bossKeyError_ = error;
                return error;
            },
            [this](const BossSettings& settings) { BossKeyChosen(settings); });
        BossKeyDialog& dialog = *bossDialog_;
        Connect(dialog.cmdAdd.Click, [this] { bossDialog_->Add(); });
        Connect(dialog.cmdRemove.Click, [this] { bossDialog_->Remove(); });
        Connect(dialog.cmdOK.Click, [this] { bossDialog_->Confirm(); });
        Connect(dialog.cmdCancel.Click, [this] { bossDialog_->Window().Close(); });
    }
    bossDialog_->Open(bossSettings_, bossKeyError_, add);
}

void Form1::BossKeyChosen(const BossSettings& settings) {
    bossSettings_ = settings;
    bossKeyError_ = 0;
    keyHeld_ = settings.key.has_value();  // the dialog took it
    bossTries_.reset();
    boss_.SetPrograms(settings.programs);
    // No key left to bring them back with: shown now, and the main window
    // with them, which no icon would bring back.
    if (!settings.key && boss_.Hidden()) BossDone(boss_.Show());
    if (!keyHeld_ && InTray()) ShowMainWindow();
    KeepTrayIcon();
    if (!SaveSettings(folder_, settings)) {
        interaction_.MsgBox(L"老板键的设置无法保存到 " +
                            folder_.PathOf(std::wstring(kSettingsFile)) +
                            L"\r\n本次运行中仍然有效，下次启动时没有。");
    }
}

void Form1::Form_QueryEndSession() {
    // At once, perhaps inside a handling or a message box: a hide in
    // progress stops at its next window, and nothing here asks the user.
    boss_.Hold(true);
    KeepBossWatch();
    try {
        if (boss_.Hidden()) {
            shownForSessionEnd_ = true;
            BossDone(boss_.Show());
        }
        keeping_.Save();
    } catch (const StepError&) {
        // Nothing can be told now; the record on disk still holds the rest.
    }
}

void Form1::Form_SessionResumed() {
    boss_.Hold(false);
    if (std::exchange(shownForSessionEnd_, false)) BossDone(boss_.Hide());
    KeepBossWatch();
}

void Form1::Form_CommandHanded(HandedCommand& handed) {
    if (!handed.Take()) return;
    const CommandRead read = ReadCommand(handed.Arguments());
    CommandResult result{kExitUsage, {}};
    if (read.error) {
        result.lines.push_back(UsageText(*read.error));
    } else {
        try {
            result = commandRun_.Run(read.command);
        } catch (const StepError& failure) {
            // Told to the command's process, not in a box here.
            result = {kExitNotAll, {failure.What() + L"：" + failure.Why()}};
        } catch (...) {
            handed.Finish(kExitNotAll, {L"程序内部错误：命令可能只做了一部分"});
            throw;
        }
    }
    KeepBossWatch();
    handed.Finish(result.exitCode, result.lines);
}

void Form1::KeepTrayIcon() {
    if (!keyHeld_ || !bossSettings_.key) {
        tray_.Keep(std::nullopt);
    } else {
        const bool waiting =
            InTray() && (interaction_.Waiting() || takeOverWaiting_ || !bossFailed_.empty());
        tray_.Keep(TrayTip(*bossSettings_.key, record_.BossHidden().size(), waiting));
    }
    // Tried again until a shell holds it (one not started yet).
    tmrTray.SetEnabled(tray_.Wanted() && !tray_.Held());
}

void Form1::tmrTray_Timer() {
    tray_.Try();
    KeepTrayIcon();
}

void Form1::Form_ShellRestarted() {
    tray_.Lost();
    KeepTrayIcon();
}

void Form1::Form_TrayMenu() {
    // The item does what it says, whatever a press did while it was open.
    const bool shows = boss_.Hidden();
    std::vector<Form::TrayItem> items{
        {L"显示主窗口"}, {shows ? L"显示" : L"隐藏"}, {L"老板键设置..."}};
    // What the key could not do, until the main window tells why.
    for (const ChangeRecord::PutBackResult& failed : bossFailed_) {
        items.push_back(
            {L"没能隐藏或恢复：" +
                 WindowInList(failed.named.process, failed.named.title, failed.named.window),
             false});
    }
    items.push_back({L"退出"});
    const std::optional<std::size_t> chosen = Window().TrayMenu(items);
    if (!chosen) return;
    if (*chosen == 0) {
        ShowMainWindow();
    } else if (*chosen == 1) {
        BossDone(shows ? boss_.Show() : boss_.Hide());
    } else if (*chosen == 2) {
        OpenBossKey({});
    } else if (*chosen + 1 == items.size()) {
        // As the close box ended it before, asking first about what is hidden.
        Window().Close();
    }
}

void Form1::HideToTray() {
    Window().Hide();
    interaction_.Hold(true);
    KeepTrayIcon();
    if (!std::exchange(toldTray_, true)) {
        Window().TrayBalloon(L"Vindrel",
                             L"老板键仍然有效：本程序在通知区域运行，右键单击图标可退出");
    }
}

void Form1::ShowMainWindow() {
    Window().Show();
    interaction_.Hold(false);  // what waited is told now
    if (std::exchange(takeOverWaiting_, false)) TakeOverRecords();
    Form_Activate();
    KeepTrayIcon();
}

}  // namespace vindrel
