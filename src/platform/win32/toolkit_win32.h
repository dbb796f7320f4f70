// The control factory, message box and shell launch over Win32, and the
// main window's message loop.
#pragma once

#include <windows.h>

#include <functional>
#include <list>

#include "platform/toolkit.h"
#include "platform/win32/native_control.h"

namespace vindrel::win32 {

// The window class name of the main window; other programs find it by it.
inline constexpr wchar_t kFormClass[] = L"VindrelForm1";
// The class of the windows the main window owns.
inline constexpr wchar_t kOwnedFormClass[] = L"VindrelOwnedForm";

// The controls' font: 宋体 (GB2312) at a size in points and a weight, for
// a screen of the given DPI. The caller owns it.
HFONT CreateUiFont(int dpi, int points, int weight);

class Win32Toolkit : public ControlFactory, public Interaction {
public:
    // iconId and cursorId name resources of the module (0 for none).
    Win32Toolkit(HINSTANCE instance, int iconId, int cursorId);
    Win32Toolkit(const Win32Toolkit&) = delete;
    Win32Toolkit& operator=(const Win32Toolkit&) = delete;

    std::unique_ptr<Form> CreateForm(const LayoutRow& row) override;
    std::unique_ptr<Label> CreateLabel(const LayoutRow& row) override;
    std::unique_ptr<ListBox> CreateListBox(const LayoutRow& row) override;
    std::unique_ptr<TextBox> CreateTextBox(const LayoutRow& row) override;
    std::unique_ptr<Button> CreateButton(const LayoutRow& row) override;
    std::unique_ptr<Frame> CreateFrame(const LayoutRow& row) override;
    std::unique_ptr<ScrollBar> CreateScrollBar(const LayoutRow& row) override;
    std::unique_ptr<CheckBox> CreateCheckBox(const LayoutRow& row) override;
    std::unique_ptr<OptionButton> CreateOptionButton(const LayoutRow& row) override;
    std::unique_ptr<Timer> CreateTimer(const LayoutRow& row) override;
    std::unique_ptr<Finder> CreateFinder(const LayoutRow& row) override;
    std::unique_ptr<ListView> CreateListView(const LayoutRow& row) override;
    std::unique_ptr<ComboBox> CreateComboBox(const LayoutRow& row) override;
    std::unique_ptr<HotKeyBox> CreateHotKeyBox(const LayoutRow& row) override;

    void MsgBox(const std::wstring& prompt, const std::optional<std::wstring>& title) override;
    Answer Ask(const std::wstring& prompt, Choices choices,
               const std::optional<std::wstring>& title) override;
    void Shell(const std::wstring& commandLine) override;

    // Shows the main window with the focus on the first control in tab
    // order, calls `shown` (work that must not delay the first sight of the
    // window), and runs the message loop until the window is closed.
    int Run(int showCommand, const std::function<void()>& shown = {});

private:
    // The window whose container the row names.
    Win32Ui& UiOf(const LayoutRow& row);
    HWND CreateChild(const LayoutRow& row, const wchar_t* windowClass, DWORD style,
                     DWORD exStyle = 0);
    // A resizable window the main window owns, hidden until shown.
    std::unique_ptr<Form> CreateOwnedForm(const LayoutRow& row);
    // A top-level window (near its owner, if any) and its wrapper.
    std::unique_ptr<Form> CreateTopLevel(Win32Ui& ui, const LayoutRow& row,
                                         const wchar_t* windowClass, DWORD style, HWND owner);
    // Whether a window of the program took the message as a dialog key.
    bool DialogKey(MSG& msg);
    // A message box's owner: the program's window the user is in.
    HWND BoxOwner() const;
    class OthersDisabled;

    Dispatch dispatch_;
    // Every top-level window's resources, the main window's first; never
    // moved, as the controls hold them.
    std::list<Win32Ui> windows_;
    Win32Ui& ui_ = windows_.emplace_back(dispatch_);
    HICON icon_ = nullptr;
    const wchar_t* frameClass_ = nullptr;
    const wchar_t* finderClass_ = nullptr;
};

}  // namespace vindrel::win32
