#include "platform/wmi_listing.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>

#include "platform/deadline_window_system.h"
#include "platform/step_error.h"
#include "platform/thread.h"

namespace vindrel {

namespace {

constexpr wchar_t kCannotList[] = L"无法列出正在运行的进程";

// How long the program, as it ends, waits for the worker to let its
// connection go.
constexpr std::chrono::milliseconds kEndingWait{500};

// One listing handed to the worker; its fields are the worker's until done.
struct Request {
    std::shared_ptr<Completion> completion;
    std::vector<WmiObject> processes;
    std::optional<StepError> failure;
    bool done = false;  // under Shared::mutex
};

// The failures that mean the connection itself broke (the service
// restarted or went away), after which only a new connection can answer.
bool ConnectionBroke(std::uint32_t hresult) {
    switch (hresult) {
        case 0x80010108:  // RPC_E_DISCONNECTED
        case 0x800706BA:  // RPC_S_SERVER_UNAVAILABLE
        case 0x800706BE:  // RPC_S_CALL_FAILED
        case 0x80010007:  // RPC_E_SERVER_DIED
        case 0x80010012:  // RPC_E_SERVER_DIED_DNE
        case 0x800401FD:  // CO_E_OBJNOTCONNECTED
        case 0x80041015:  // WBEM_E_TRANSPORT_FAILURE
            return true;
        default:
            return false;
    }
}

std::vector<WmiObject> Walk(WmiConnection& connection) {
    std::vector<WmiObject> listed;
    const auto objects = connection.ExecQuery(kProcessQuery);
    for (WmiObject process; objects->Next(process);)
        listed.push_back(process);
    return listed;
}

// Lists on the kept connection, connecting first if there is none; a
// broken connection is dropped and made again, once, unless the listing
// has been stopped meanwhile.
std::vector<WmiObject> ListOn(WindowSystem& ws, std::unique_ptr<WmiConnection>& connection,
                              const std::function<bool()>& stopped) {
    for (bool again = false;; again = true) {
        try {
            if (!connection) connection = ws.ConnectWmi();
            return Walk(*connection);
        } catch (const StepError& failure) {
            if (!ConnectionBroke(failure.Code())) throw;
            connection.reset();
            if (again || stopped()) throw;
        }
    }
}

}  // namespace

struct WmiListing::Shared {
    std::mutex mutex;
    std::condition_variable wake;  // the worker waits on it
    std::condition_variable idle;
    Thread worker;
    bool stop = false;
    bool warm = false;                 // a connection is asked for
    std::shared_ptr<Request> request;  // waiting for the worker
    bool busy = false;                 // the worker is in WMI
    bool abandoned = false;            // ...and a caller stopped waiting for it
    bool ended = false;                // the worker has let everything go
};

void WmiListing::Work(WindowSystem& ws, const std::shared_ptr<Shared>& shared) {
    std::unique_ptr<WmiConnection> connection;
    std::unique_lock lock(shared->mutex);
    for (;;) {
        shared->wake.wait(lock, [&] { return shared->stop || shared->request || shared->warm; });
        if (shared->stop) break;
        const std::shared_ptr<Request> request = std::move(shared->request);
        shared->warm = false;
        shared->busy = true;
        lock.unlock();
        const auto stopped = [&shared] {
            const std::lock_guard held(shared->mutex);
            return shared->stop;
        };
        try {
            if (request) {
                request->processes = ListOn(ws, connection, stopped);
            } else if (!connection) {
                connection = ws.ConnectWmi();
            }
        } catch (const StepError& failure) {
            if (request) request->failure = failure;  // a failed warm-up waits for a listing
        } catch (...) {
            if (request) request->failure = StepError(kCannotList, L"程序内部错误");
        }
        lock.lock();
        shared->busy = false;
        shared->abandoned = false;
        if (request) {
            request->done = true;
            request->completion->Signal();
        }
        shared->idle.notify_all();
    }
    lock.unlock();
    connection.reset();  // released on the thread that made it
    lock.lock();
    shared->ended = true;
    shared->idle.notify_all();
}

WmiListing::WmiListing(WindowSystem& ws, std::chrono::milliseconds deadline,
                       std::shared_ptr<CompletionSource> completions)
    : ws_(ws),
      deadline_(deadline),
      completions_(std::move(completions)),
      shared_(std::make_shared<Shared>()) {}

WmiListing::~WmiListing() {
    std::unique_lock lock(shared_->mutex);
    if (!shared_->worker.Joinable()) return;
    shared_->stop = true;
    shared_->wake.notify_all();
    // Letting the connection go can wait on the service too: the program
    // does not wait long for it to end.
    const bool ended = shared_->idle.wait_for(lock, kEndingWait, [&] { return shared_->ended; });
    lock.unlock();
    if (ended) {
        shared_->worker.Join();
    } else {
        shared_->worker.Detach();  // it ends with the process, or once WMI answers
    }
}

void WmiListing::Start() {
    if (!shared_->worker.Joinable())
        shared_->worker = Thread([&ws = ws_, shared = shared_] { Work(ws, shared); });
}

void WmiListing::Warm() {
    const std::lock_guard lock(shared_->mutex);
    try {
        Start();
    } catch (const std::system_error&) {
        return;  // the first listing tries again, and says so if it fails
    }
    shared_->warm = true;
    shared_->wake.notify_all();
}

std::vector<WmiObject> WmiListing::List() {
    const auto request = std::make_shared<Request>();
    {
        const std::lock_guard lock(shared_->mutex);
        if (shared_->abandoned) {
            throw StepError(kCannotList,
                            L"WMI 上一次的请求超过 " + SecondsText(deadline_) + L" 秒仍没有回答");
        }
        request->completion = completions_->Make();
        try {
            Start();
        } catch (const std::system_error& e) {
            throw StepError(kCannotList, WorkerNotStarted(e));
        }
        shared_->request = request;
        shared_->wake.notify_all();
    }
    // Called when the wait ends without the worker's answer (the deadline,
    // or a failure of the wait itself): the request is withdrawn if the
    // worker has not taken it, and while the worker is stuck later
    // listings fail at once.
    const auto abandon = [&] {
        const std::lock_guard lock(shared_->mutex);
        if (request->done) return false;
        if (shared_->request == request) shared_->request.reset();
        shared_->abandoned = shared_->busy;
        return true;
    };
    bool answered = false;
    try {
        answered = request->completion->Wait(deadline_);
    } catch (...) {
        abandon();
        throw;
    }
    if (!answered && abandon()) {
        throw StepError(kCannotList, L"WMI 在 " + SecondsText(deadline_) + L" 秒内没有回答");
    }
    if (request->failure) throw *request->failure;
    return std::move(request->processes);
}

bool WmiListing::WaitIdle(std::chrono::milliseconds timeout) {
    std::unique_lock lock(shared_->mutex);
    return shared_->idle.wait_for(
        lock, timeout, [&] { return !shared_->busy && !shared_->request && !shared_->warm; });
}

}  // namespace vindrel
