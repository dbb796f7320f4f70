// The command line's way between processes of the program on Windows. A
// running copy takes commands through a message-only window of its own
// class; the command's process finds it, hands the arguments over with
// WM_COPYDATA and waits on a message-only window of its own for the copy's
// answers: that the command runs now, then its lines and exit code. The
// system's message filter keeps a process of lower rights from reaching a
// copy of higher ones.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>

#include "platform/command_channel.h"

namespace vindrel::win32 {

class Win32CommandChannel : public CommandChannel {
public:
    bool OutputRedirected() override;
    void Write(const std::wstring& text, bool utf8) override;
    void Show(const std::wstring& text) override;
    std::vector<Pid> Copies() override;
    HandOver Hand(Pid copy, const std::vector<std::wstring>& arguments, bool foreground,
                  int takeWithinMs) override;
    bool ShowCopy(Pid copy) override;
};

// A copy's window that takes commands. Each arrives through a posted
// message, never inside the sender's WM_COPYDATA, whose answer is at once.
class CommandInbox {
public:
    using Arrived = std::function<void(std::shared_ptr<HandedCommand>)>;
    // `showAsked` answers another start's request to show the main window
    // (it alone passes the message filter of a copy run as administrator);
    // on yes, `show` follows once the answer is sent.
    CommandInbox(Arrived arrived, std::function<bool()> showAsked, std::function<void()> show);
    ~CommandInbox();
    CommandInbox(const CommandInbox&) = delete;
    CommandInbox& operator=(const CommandInbox&) = delete;

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    Arrived arrived_;
    std::function<bool()> showAsked_;
    std::function<void()> show_;
    HWND hwnd_ = nullptr;
    std::deque<std::shared_ptr<HandedCommand>> waiting_;
};

}  // namespace vindrel::win32
