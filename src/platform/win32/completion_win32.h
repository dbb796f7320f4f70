// Completions for the user-interface thread: while it waits for a worker,
// it keeps answering the messages other threads send to its windows. On
// Windows a call on another program's window (ShowWindow, OpenIcon,
// CloseWindow) can move the activation and send WM_NCACTIVATE/WM_ACTIVATE
// to our window, waiting for the answer; a target can also send to us while
// it handles the call. A wait that answered nothing would wait on a worker
// that waits on it. Posted messages (input, timers, clicks) stay queued:
// nothing of the program's own runs nested inside the waiting handling.
#pragma once

#include "platform/completion.h"

namespace vindrel::win32 {

class AnsweringCompletions : public CompletionSource {
public:
    std::shared_ptr<Completion> Make() override;
};

}  // namespace vindrel::win32
