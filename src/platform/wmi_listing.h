// The WMI process listing, kept off the user-interface thread. On Windows
// WMI answers from a service in other processes: the first query after
// start-up can take seconds, and a stuck service never answers. So one
// worker thread of its own connects once (Warm, after the window shows),
// keeps the connection, and runs each listing; the caller waits for it up
// to a deadline through a Completion, which on the user-interface thread
// keeps answering sent messages and takes no input. A listing that misses
// the deadline is abandoned: its result is dropped when it comes, and until
// then every listing fails at once instead of queueing behind it.
#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "platform/completion.h"
#include "platform/window_system.h"

namespace vindrel {

// How long a listing may take: well inside the five seconds after which
// Windows calls a window not responding.
inline constexpr std::chrono::milliseconds kListingDeadline{3000};

class WmiListing {
public:
    WmiListing(WindowSystem& ws, std::chrono::milliseconds deadline,
               std::shared_ptr<CompletionSource> completions);
    // Stops the worker; one still stuck in WMI (or in letting its
    // connection go) after a short wait is left to end with the process.
    // A worker left so makes no further call on `ws` but its
    // connection's release: `ws` need not outlive it.
    ~WmiListing();
    WmiListing(const WmiListing&) = delete;
    WmiListing& operator=(const WmiListing&) = delete;

    // Starts the worker connecting, and returns at once.
    void Warm();

    // Every running process's Name and ProcessId, in WMI's order, from
    // kProcessQuery. When the connection broke (RPC_E_DISCONNECTED, the
    // RPC server unavailable or dead, WBEM_E_TRANSPORT_FAILURE ...) it
    // reconnects once and lists again. Throws StepError naming the failed call and its HRESULT,
    // or the deadline.
    std::vector<WmiObject> List();

    // Waits until the worker has nothing to do (for tests); false when it
    // is still busy after the timeout.
    bool WaitIdle(std::chrono::milliseconds timeout);

private:
    struct Shared;
    // The worker's loop; it keeps the connection, and only what it shares.
    static void Work(WindowSystem& ws, const std::shared_ptr<Shared>& shared);
    // Starts the worker if it is not running; under Shared::mutex.
    void Start();

    WindowSystem& ws_;
    std::chrono::milliseconds deadline_;
    std::shared_ptr<CompletionSource> completions_;
    std::shared_ptr<Shared> shared_;
};

}  // namespace vindrel
