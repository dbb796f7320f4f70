#include "platform/win32/command_channel_win32.h"

#include <chrono>
#include <string>

#include "platform/conversions.h"
#include "platform/win32/handle_cast.h"
#include "platform/win32/native_control.h"
#include "platform/win32/system_function.h"
#include "platform/win32/unique_handle.h"

namespace vindrel::win32 {

namespace {

constexpr wchar_t kInboxClass[] = L"Vindrel.Commands";
constexpr wchar_t kReplyClass[] = L"Vindrel.CommandReply";
// What a WM_COPYDATA between the processes carries.
constexpr ULONG_PTR kCommandData = 0x56444331;      // the arguments
constexpr ULONG_PTR kTakenData = kCommandData + 1;  // the command runs now
constexpr ULONG_PTR kDoneData = kCommandData + 2;   // the exit code, then the lines
// More than any command line: a larger command is not read.
constexpr DWORD kMostCommandBytes = 1 << 20;
constexpr UINT kRunMessage = WM_APP + 0x20;
constexpr UINT kShowNowMessage = WM_APP + 0x21;
constexpr UINT kAnswerWithinMs = 5000;

// Sent by another start to a copy's inbox: show the main window.
UINT ShowMessage() {
    static const UINT message = RegisterWindowMessageW(L"Vindrel.ShowMainWindow");
    return message;
}

// Texts, each followed by a NUL, and read back.
std::wstring Joined(const std::vector<std::wstring>& parts) {
    std::wstring joined;
    for (const std::wstring& part : parts) {
        joined += part;
        joined += L'\0';
    }
    return joined;
}

std::vector<std::wstring> Parts(const COPYDATASTRUCT& data) {
    std::vector<std::wstring> parts;
    if (data.lpData == nullptr) return parts;
    const std::wstring_view all(static_cast<const wchar_t*>(data.lpData),
                                data.cbData / sizeof(wchar_t));
    for (std::size_t start = 0; start < all.size();) {
        const std::size_t end = std::min(all.find(L'\0', start), all.size());
        parts.emplace_back(all.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Sends the texts to a window of the other process; its answer, or 0 when
// it did not answer in time.
LRESULT SendTexts(HWND to, HWND from, ULONG_PTR kind, const std::vector<std::wstring>& parts) {
    const std::wstring joined = Joined(parts);
    COPYDATASTRUCT data{kind, static_cast<DWORD>(joined.size() * sizeof(wchar_t)),
                        const_cast<wchar_t*>(joined.data())};
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(to, WM_COPYDATA, reinterpret_cast<WPARAM>(from),
                            reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kAnswerWithinMs,
                            &answer) == 0) {
        return 0;
    }
    return static_cast<LRESULT>(answer);
}

HWND MessageWindow(const wchar_t* windowClass, WNDPROC procedure, void* state) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterWindowClass(instance, {.name = windowClass, .procedure = procedure})) {
        return nullptr;
    }
    const HWND hwnd = CreateWindowExW(0, windowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      instance, nullptr);
    if (hwnd != nullptr) SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    return hwnd;
}

template <class T>
T* StateOf(HWND hwnd) {
    return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// What the command's process hears from the copy.
struct Reply {
    bool taken = false;
    bool givenUp = false;  // no longer waiting: a late take is refused
    bool done = false;
    int exitCode = 0;
    std::vector<std::wstring> lines;
};

LRESULT CALLBACK ReplyProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Reply* const reply = StateOf<Reply>(hwnd);
    if (message != WM_COPYDATA || reply == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (data.dwData == kTakenData) {
        if (reply->givenUp) return FALSE;
        reply->taken = true;
        return TRUE;
    }
    if (data.dwData == kDoneData && reply->taken) {
        std::vector<std::wstring> parts = Parts(data);
        if (parts.empty()) return FALSE;
        const auto code = DigitsValue(parts.front(), 10, 255);
        reply->exitCode = code ? static_cast<int>(*code) : 1;
        reply->lines.assign(parts.begin() + 1, parts.end());
        reply->done = true;
        return TRUE;
    }
    return FALSE;
}

// Every copy's inbox in this session, with the copy's process.
std::vector<std::pair<Pid, HWND>> Inboxes() {
    std::vector<std::pair<Pid, HWND>> inboxes;
    for (HWND inbox = nullptr;
         (inbox = FindWindowExW(HWND_MESSAGE, inbox, kInboxClass, nullptr)) != nullptr;) {
        DWORD pid = 0;
        GetWindowThreadProcessId(inbox, &pid);
        inboxes.emplace_back(static_cast<Pid>(pid), inbox);
    }
    return inboxes;
}

HWND InboxOf(Pid copy) {
    for (const auto& [pid, inbox] : Inboxes())
        if (pid == copy) return inbox;
    return nullptr;
}

// A command as the copy holds it until it runs.
class Handed : public HandedCommand {
public:
    Handed(HWND inbox, HWND reply, std::vector<std::wstring> arguments)
        : inbox_(inbox), reply_(reply), arguments_(std::move(arguments)) {}
    const std::vector<std::wstring>& Arguments() const override { return arguments_; }
    bool Take() override {
        if (!IsWindow(reply_)) return false;
        if (SendTexts(reply_, inbox_, kTakenData, {}) == TRUE) return true;
        // Not answered in time: the take may still arrive after this; the
        // answer that follows it ends the command as not run.
        Finish(5, {L"正在运行的本程序没能及时告知命令已开始，命令没有执行"});
        return false;
    }
    void Finish(int exitCode, const std::vector<std::wstring>& lines) override {
        std::vector<std::wstring> parts{std::to_wstring(exitCode)};
        parts.insert(parts.end(), lines.begin(), lines.end());
        SendTexts(reply_, inbox_, kDoneData, parts);
    }

private:
    HWND inbox_;
    HWND reply_;
    std::vector<std::wstring> arguments_;
};

}  // namespace

bool Win32CommandChannel::OutputRedirected() {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) return false;
    const DWORD type = GetFileType(output);
    // A device that is no console (NUL) takes the output too.
    DWORD mode = 0;
    return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE ||
           (type == FILE_TYPE_CHAR && !GetConsoleMode(output, &mode));
}

void Win32CommandChannel::Write(const std::wstring& text, bool utf8) {
    const UINT codePage = utf8 ? CP_UTF8 : GetOEMCP();
    const int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    for (std::size_t at = 0; at < bytes.size();) {
        DWORD written = 0;
        if (!WriteFile(output, bytes.data() + at, static_cast<DWORD>(bytes.size() - at), &written,
                       nullptr) ||
            written == 0) {
            return;  // a pipe closed by its reader: nobody reads on
        }
        at += written;
    }
}

void Win32CommandChannel::Show(const std::wstring& text) {
    MessageBoxW(nullptr, text.c_str(), L"Vindrel", MB_OK | MB_ICONINFORMATION);
}

std::vector<Pid> Win32CommandChannel::Copies() {
    std::vector<Pid> copies;
    for (const auto& [pid, inbox] : Inboxes())
        copies.push_back(pid);
    return copies;
}

HandOver Win32CommandChannel::Hand(Pid copy, const std::vector<std::wstring>& arguments,
                                   bool foreground, int takeWithinMs) {
    HandOver over;
    over.kind = HandOver::Kind::NotTaken;
    const HWND inbox = InboxOf(copy);
    if (inbox == nullptr) return over;
    const UniqueProcessHandle process(OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(copy)));
    Reply reply;
    const HWND replyWindow = MessageWindow(kReplyClass, ReplyProcedure, &reply);
    if (replyWindow == nullptr) return over;
    if (foreground) AllowSetForegroundWindow(static_cast<DWORD>(copy));
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(takeWithinMs);
    if (SendTexts(inbox, replyWindow, kCommandData, arguments) == TRUE) {
        for (;;) {
            // Answers arrive as sent messages, let in by the wait and the peek.
            const HANDLE waits[] = {process.Get()};
            const DWORD woke =
                MsgWaitForMultipleObjects(process ? 1 : 0, waits, FALSE, 250, QS_ALLINPUT);
            for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
                DispatchMessageW(&msg);
            if (reply.done) {
                over = {HandOver::Kind::Done, reply.exitCode, std::move(reply.lines)};
                break;
            }
            const bool ended = (process && woke == WAIT_OBJECT_0) || !IsWindow(inbox);
            if (ended) {
                over.kind = reply.taken ? HandOver::Kind::Ended : HandOver::Kind::NotTaken;
                break;
            }
            // A copy running a command answers what is sent to it while it
            // waits; one that does not is hung, and will not answer.
            DWORD_PTR ignored = 0;
            if (reply.taken && woke == WAIT_TIMEOUT &&
                SendMessageTimeoutW(inbox, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerWithinMs,
                                    &ignored) == 0 &&
                !reply.done) {
                over.kind = HandOver::Kind::Hung;
                break;
            }
            if (!reply.taken && std::chrono::steady_clock::now() >= giveUp) {
                reply.givenUp = true;  // on this thread: a take after it is refused
                break;
            }
        }
    }
    DestroyWindow(replyWindow);
    return over;
}

bool Win32CommandChannel::ShowCopy(Pid copy) {
    const HWND inbox = InboxOf(copy);
    if (inbox == nullptr) return false;
    AllowSetForegroundWindow(static_cast<DWORD>(copy));
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(inbox, ShowMessage(), 0, 0, SMTO_ABORTIFHUNG, kAnswerWithinMs,
                               &answer) != 0 &&
           answer == TRUE;
}

CommandInbox::CommandInbox(Arrived arrived, std::function<bool()> showAsked,
                           std::function<void()> show)
    : arrived_(std::move(arrived)), showAsked_(std::move(showAsked)), show_(std::move(show)) {
    hwnd_ = MessageWindow(kInboxClass, Procedure, this);
    if (hwnd_ != nullptr) LetThroughFilter(hwnd_, ShowMessage());
}

CommandInbox::~CommandInbox() {
    if (hwnd_ != nullptr) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

LRESULT CALLBACK CommandInbox::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Nothing may leave a window procedure through the system's frames.
    try {
        return Handle(hwnd, message, wParam, lParam);
    } catch (...) {
        MessageBoxW(nullptr, L"程序内部错误", L"Vindrel", MB_OK | MB_ICONERROR);
    }
    return 0;
}

LRESULT CommandInbox::Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CommandInbox* const inbox = StateOf<CommandInbox>(hwnd);
    if (inbox == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_COPYDATA) {
        const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data.dwData != kCommandData || data.cbData > kMostCommandBytes) return FALSE;
        // The answers go to the window that sent it.
        inbox->waiting_.push_back(
            std::make_shared<Handed>(hwnd, reinterpret_cast<HWND>(wParam), Parts(data)));
        PostMessageW(hwnd, kRunMessage, 0, 0);
        return TRUE;
    }
    if (message == ShowMessage()) {
        // Answered first: what showing brings up (a message that waited, a
        // question) must not hold the other start's wait.
        const bool yes = inbox->showAsked_ && inbox->showAsked_();
        if (yes) PostMessageW(hwnd, kShowNowMessage, 0, 0);
        return yes ? TRUE : FALSE;
    }
    if (message == kShowNowMessage) {
        if (inbox->show_) inbox->show_();
        return 0;
    }
    if (message == kRunMessage && !inbox->waiting_.empty()) {
        std::shared_ptr<HandedCommand> handed = std::move(inbox->waiting_.front());
        inbox->waiting_.pop_front();
        inbox->arrived_(std::move(handed));
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace vindrel::win32
