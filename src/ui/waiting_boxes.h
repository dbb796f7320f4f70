// The program's message boxes while its main window is hidden in the
// notification area: a message waits until the window is shown again,
// rather than open over whatever the user hid it for. A question is asked
// at once: each is asked where the user asked for something.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "platform/toolkit.h"

namespace vindrel {

class WaitingBoxes : public Interaction {
public:
    explicit WaitingBoxes(Interaction& boxes) : boxes_(boxes) {}

    void MsgBox(const std::wstring& prompt,
                const std::optional<std::wstring>& title = std::nullopt) override;
    Answer Ask(const std::wstring& prompt, Choices choices = Choices::YesNoCancel,
               const std::optional<std::wstring>& title = std::nullopt) override {
        return boxes_.Ask(prompt, choices, title);
    }
    void Shell(const std::wstring& commandLine) override { boxes_.Shell(commandLine); }

    // While held, messages wait; let go, what waited is shown, in order.
    void Hold(bool held);
    bool Held() const { return held_; }
    bool Waiting() const { return !waiting_.empty(); }
    // A message began to wait.
    std::function<void()> Queued;

private:
    Interaction& boxes_;
    bool held_ = false;
    std::deque<std::pair<std::wstring, std::optional<std::wstring>>> waiting_;
};

}  // namespace vindrel
