#include "ui/form1.h"

#include "platform/step_error.h"
#include "table/lookup.h"
#include "ui/layout.h"

namespace vindrel {

Form1::Form1(ControlFactory& factory, Interaction& interaction, WindowSystem& ws)
    : interaction_(interaction), ws_(ws), controls_(factory) {
    Connect(Command1.Click, &Form1::Command1_Click);
    Connect(Command7.Click, &Form1::Command7_Click);
    Connect(Command14.Click, &Form1::Command14_Click);
    Connect(Label9.Click, &Form1::Label9_Click);
}

void Form1::Connect(Event& event, void (Form1::*handling)()) {
    event.Connect([this, handling] {
        try {
            (this->*handling)();
        } catch (const StepError& failure) {
            interaction_.MsgBox(failure.Prompt());
        }
    });
}

void Form1::Form_Load() {
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
}

void Form1::Command1_Click() {
    Refresh(table_, ws_);
}

void Form1::Command7_Click() {
    Clear(table_);
}

void Form1::Command14_Click() {
    ProcessListing(ws_, List4);
}

void Form1::Label9_Click() {
    interaction_.Shell(L"explorer " + std::wstring(layout::kHomepage));
}

}  // namespace vindrel
