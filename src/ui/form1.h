// The main window: its controls under their design names, the start-up
// steps, and one thin entry per handled control event.
#pragma once

#include "actions/boss_key.h"
#include "actions/boss_settings.h"
#include "actions/caption_flashing.h"
#include "actions/change_path.h"
#include "actions/change_record.h"
#include "actions/command_run.h"
#include "actions/opacity.h"
#include "actions/record_keeping.h"
#include "actions/standing.h"
#include "actions/window_commands.h"
#include "actions/window_finding.h"
#include "actions/window_rescue.h"
#include "platform/controls.h"
#include "platform/conversions.h"
#include "platform/process_rights.h"
#include "platform/record_store.h"
#include "platform/toolkit.h"
#include "platform/window_system.h"
#include "platform/wmi_listing.h"
#include "table/lookup.h"
#include "table/process_table.h"
#include "table/selection.h"
#include "ui/boss_key_dialog.h"
#include "ui/control_set.h"
#include "ui/notification_icon.h"
#include "ui/reports.h"
#include "ui/waiting_boxes.h"
#include "ui/window_list.h"

namespace vindrel {

class Form1 {
public:
    Form1(ControlFactory& factory, Interaction& interaction, WindowSystem& ws, WmiListing& wmi,
          ProcessRights& rights, RecordFolder& folder, Lifetimes& lifetimes);
    // The window goes first, while the handlings and every control exist.
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // The start-up steps; run once, before the window first shows. A
    // program started again as administrator starts with the window's
    // handle in Text2. Once the window shows, the record handed by the copy
    // that started it is taken over, then those of copies that ended.
    void Form_Load(const RestartArguments& started = {});

    Form& Window() const { return controls_.Window(); }

private:
    // Connects an event to a handling, run by Handle.
    void Connect(Event& event, void (Form1::*handling)());
    void Connect(Event& event, std::function<void()> handling);
    // Runs a handling. One abandoned by a StepError is reported here, in
    // one message box, and the program goes on. Then the change record is
    // saved, and what went wrong with its file told.
    void Handle(const std::function<void()>& handling);
    void TellRecordNotices();

    // Process table.
    // The first time in the run that the processes come from the snapshot,
    // tells the user why, once they are shown.
    void TellOnceOfSnapshot(const ProcessList& listed);
    void Command1_Click();
    void Command7_Click();
    void Command14_Click();
    void List1_Click();
    void List2_Click();
    void List3_Click();
    void Text2_Change();
    void Text3_Change();
    void Text4_Change();
    // Window commands.
    void Command4_Click();
    void Command8_Click();
    void Command17_Click();
    void Command19_Click();
    void Command21_Click();
    void Command9_Click();
    void Command22_Click();
    void Command18_Click();
    void Command6_Click();
    void Command5_Click();
    // Caption flashing and opacity.
    void Check1_Click();
    void Option1_Click();
    void Option2_Click();
    void Timer1_Timer();
    void HScroll2_Change();
    void HScroll2_EndScroll();
    void HScroll1_Change();
    // The window finder.
    void Finder1_DragStart();
    void Finder1_DragMove();
    void Finder1_DragEnd();
    // The homepage link.
    void Label9_Click();
    // Putting back what the program changed: the system-menu item, and the
    // question before closing while windows it hid are still unseen.
    void mnuRestore_Click();
    bool Form_QueryUnload();
    // The records other copies left: taken over at start-up, and when a
    // copy that was running ends.
    void TakeOverRecords();
    // The window list: opened from the system menu, or by a double-click on
    // a row of the table for that row's process.
    void mnuWindows_Click();
    void Table_DblClick(const ListBox& list);
    void OpenWindowList(const std::optional<std::wstring>& search);
    // The search typed, either check box (显示全部窗口, 只看找不到的窗口).
    void WindowList_Refilter();
    void lvwWindows_ColumnClick();
    // 选用, Enter or a double-click on a row.
    void cmdChoose_Click();
    void lvwWindows_SelectionChange();
    void cmdRescue_Click();
    void cmdTopmost_Click();
    // 刷新, F5, or the list shown again with the main window.
    void cmdRefresh_Click();
    void tmrRefresh_Timer();
    // The boss key: the settings read at start-up and the key taken, a
    // press, the sweep while its set is hidden, and what it could not do,
    // told once the user comes back to the main window.
    void LoadBossSettings();
    // `quiet`: a key that cannot be had is not said.
    void TakeBossKey(bool quiet);
    void Form_HotKey();
    void tmrBoss_Timer();
    void Form_Activate();
    // A window shown anywhere while the set is hidden: swept at once.
    void Form_WindowShown();
    void BossDone(const BossResult& result);
    // The sweep's clock runs while the set is hidden or the key is still to
    // be taken, the show hook while the set is hidden; neither while the
    // session ends.
    void KeepBossWatch();
    // The dialog, from the system menu, or from the window list with the
    // programs of its selected rows added.
    void mnuBossKey_Click();
    void cmdBoss_Click();
    void OpenBossKey(const std::vector<std::wstring>& add);
    void BossKeyChosen(const BossSettings& settings);
    // The session ends: what the boss key hid is shown, so that its
    // programs can ask to save; hidden again if the end is called off.
    void Form_QueryEndSession();
    void Form_SessionResumed();
    // A command of the command line another process handed over: run
    // unless that process gave up waiting, its answer sent back.
    void Form_CommandHanded(HandedCommand& handed);

    // The icon in the notification area, kept while a boss key is set, and
    // the main window closed into it.
    void KeepTrayIcon();
    void tmrTray_Timer();
    void Form_TrayMenu();
    void Form_ShellRestarted();
    // The main window closed while a boss key is set: hidden, the program
    // runs on in the notification area.
    void HideToTray();
    // The main window shown from there, and what waited to be told.
    void ShowMainWindow();
    // Closed into the notification area: its messages wait meanwhile.
    bool InTray() const { return interaction_.Held(); }

    ControlFactory& factory_;
    WaitingBoxes interaction_;
    WindowSystem& ws_;
    WmiListing& wmi_;
    ProcessRights& processRights_;
    RecordFolder& folder_;
    Lifetimes& lifetimes_;
    bool toldOfSnapshot_ = false;
    std::optional<std::wstring> handed_;  // the record file handed to this copy
    bool startedUp_ = false;              // the records were taken over at start-up
    // A copy started as administrator takes the key once the copy that
    // started it has let it go: it tries each sweep, until this time.
    std::optional<int> bossTries_;
    ControlSet controls_;

public:
    // clang-format off
    Label& Label6 = controls_.Get<Label>("Label6");
    Label& Label3 = controls_.Get<Label>("Label3");
    Label& Label4 = controls_.Get<Label>("Label4");
    Label& Label5 = controls_.Get<Label>("Label5");
    Label& Label2 = controls_.Get<Label>("Label2");
    ListBox& List4 = controls_.Get<ListBox>("List4");
    ListBox& List1 = controls_.Get<ListBox>("List1");
    ListBox& List2 = controls_.Get<ListBox>("List2");
    ListBox& List3 = controls_.Get<ListBox>("List3");
    TextBox& Text2 = controls_.Get<TextBox>("Text2");
    Button& Command9 = controls_.Get<Button>("Command9");
    Frame& Frame2 = controls_.Get<Frame>("Frame2");
    Button& Command4 = controls_.Get<Button>("Command4");
    Button& Command8 = controls_.Get<Button>("Command8");
    Button& Command17 = controls_.Get<Button>("Command17");
    Button& Command19 = controls_.Get<Button>("Command19");
    Button& Command21 = controls_.Get<Button>("Command21");
    Frame& Frame3 = controls_.Get<Frame>("Frame3");
    Button& Command22 = controls_.Get<Button>("Command22");
    TextBox& Text5 = controls_.Get<TextBox>("Text5");
    Frame& Frame4 = controls_.Get<Frame>("Frame4");
    ScrollBar& HScroll2 = controls_.Get<ScrollBar>("HScroll2");
    Frame& Frame1 = controls_.Get<Frame>("Frame1");
    CheckBox& Check1 = controls_.Get<CheckBox>("Check1");
    OptionButton& Option1 = controls_.Get<OptionButton>("Option1");
    OptionButton& Option2 = controls_.Get<OptionButton>("Option2");
    Label& Label8 = controls_.Get<Label>("Label8");
    Label& Label9 = controls_.Get<Label>("Label9");
    Button& Command1 = controls_.Get<Button>("Command1");
    Button& Command7 = controls_.Get<Button>("Command7");
    TextBox& Text3 = controls_.Get<TextBox>("Text3");
    TextBox& Text4 = controls_.Get<TextBox>("Text4");
    Timer& Timer1 = controls_.Get<Timer>("Timer1");
    Timer& tmrBoss = controls_.Get<Timer>("tmrBoss");
    Timer& tmrTray = controls_.Get<Timer>("tmrTray");
    Frame& Frame5 = controls_.Get<Frame>("Frame5");
    Label& Label1 = controls_.Get<Label>("Label1");
    TextBox& Text1 = controls_.Get<TextBox>("Text1");
    Button& Command5 = controls_.Get<Button>("Command5");
    Frame& Frame6 = controls_.Get<Frame>("Frame6");
    Label& Label7 = controls_.Get<Label>("Label7");
    ScrollBar& HScroll1 = controls_.Get<ScrollBar>("HScroll1");
    Button& Command14 = controls_.Get<Button>("Command14");
    Button& Command6 = controls_.Get<Button>("Command6");
    Button& Command18 = controls_.Get<Button>("Command18");
    Finder& Finder1 = controls_.Get<Finder>("Finder1");
    // clang-format on

private:
    ProcessTable table_{List4, List1, List2, List3};
    RowSelection selection_{table_, Text2, Text1};
    Standings standings_{ws_, processRights_};
    ChangeRecord record_{ws_, lifetimes_};
    RecordKeeping keeping_{record_, folder_, lifetimes_};
    Reports reports_{interaction_, processRights_, Window(), keeping_};
    ChangePath path_{ws_, standings_, record_};
    WindowCommands commands_{ws_, path_, Window(), Text2, Text1, Text5};
    CaptionFlashing flashing_{ws_, standings_, Timer1, Check1, Text2};
    Opacity opacity_{ws_, path_, [this] { return Window().hWnd(); }};
    WindowFinding finding_{ws_, Finder1, Text2, List2};
    WindowRescue rescue_{ws_, path_, record_};
    BossKey boss_{ws_, path_, record_, lifetimes_};
    CommandRun commandRun_{ws_, path_, record_, &boss_};
    BossSettings bossSettings_;
    std::uint32_t bossKeyError_ = 0;  // why the key in force did not take
    bool shownForSessionEnd_ = false;
    std::unique_ptr<BossKeyDialog> bossDialog_;            // created when first opened
    std::vector<ChangeRecord::PutBackResult> bossFailed_;  // not told yet
    std::unique_ptr<WindowList> windowList_;               // created when first opened
    NotificationIcon tray_{Window()};
    bool toldTray_ = false;         // the balloon that says so shown once
    bool keyHeld_ = false;          // the boss key is this copy's
    bool takeOverWaiting_ = false;  // a copy ended while the window was hidden
};

}  // namespace vindrel
