#include "platform/wmi_listing.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "platform/deadline_window_system.h"
#include "platform/step_error.h"

namespace vindrel {

namespace {

constexpr wchar_t kCannotList[] = L"无法列出正在运行的进程";

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
    constexpr std::uint32_t kRpcDisconnected = 0x80010108;  // RPC_E_DISCONNECTED
    constexpr std::uint32_t kServerUnavailable = 0x800706BA;
    constexpr std::uint32_t kTransportFailure = 0x80041015;  // WBEM_E_TRANSPORT_FAILURE
    return hresult == kRpcDisconnected || hresult == kServerUnavailable ||
           hresult == kTransportFailure;
}

std::vector<WmiObject> Walk(WmiConnection& connection) {
    std::vector<WmiObject> listed;
    const auto objects = connection.ExecQuery(kProcessQuery);
    for (WmiObject process; objects->Next(process);)
        listed.push_back(process);
    return listed;
}

// Lists on the kept connection, connecting first if there is none; a
// broken connection is dropped and made again, once.
std::vector<WmiObject> ListOn(WindowSystem& ws, std::unique_ptr<WmiConnection>& connection) {
    for (bool again = false;; again = true) {
        try {
            if (!connection) connection = ws.ConnectWmi();
            return Walk(*connection);
        } catch (const StepError& failure) {
            if (!ConnectionBroke(failure.Code())) throw;
            connection.reset();
            if (again) throw;
        }
    }
}

}  // namespace

struct WmiListing::Shared {
    std::mutex mutex;
    std::condition_variable wake;  // the worker waits on it
    std::condition_variable idle;
    std::thread worker;
    bool stop = false;
    bool warm = false;                 // a connection is asked for
    std::shared_ptr<Request> request;  // waiting for the worker
    bool busy = false;                 // the worker is in WMI
    bool abandoned = false;            // ...and a caller stopped waiting for it
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
        try {
            if (request) {
                request->processes = ListOn(ws, connection);
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
}

WmiListing::WmiListing(WindowSystem& ws, std::chrono::milliseconds deadline,
                       std::shared_ptr<CompletionSource> completions)
    : ws_(ws),
      deadline_(deadline),
      completions_(std::move(completions)),
      shared_(std::make_shared<Shared>()) {}

WmiListing::~WmiListing() {
    std::unique_lock lock(shared_->mutex);
    shared_->stop = true;
    shared_->wake.notify_all();
    const bool stuck = shared_->busy;
    lock.unlock();
    if (!shared_->worker.joinable()) return;
    if (stuck) {
        shared_->worker.detach();  // it ends with the process, or sees stop
    } else {
        shared_->worker.join();
    }
}

void WmiListing::Start() {
    if (!shared_->worker.joinable()) shared_->worker = std::thread(Work, std::ref(ws_), shared_);
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
            throw StepError(kCannotList, L"无法启动工作线程，错误 " +
                                             HexCode(static_cast<std::uint32_t>(e.code().value())));
        }
        shared_->request = request;
        shared_->wake.notify_all();
    }
    if (!request->completion->Wait(deadline_)) {
        const std::lock_guard lock(shared_->mutex);
        if (!request->done) {
            if (shared_->request == request) shared_->request.reset();
            // Later listings fail at once while the worker is stuck.
            shared_->abandoned = shared_->busy;
            throw StepError(kCannotList, L"WMI 在 " + SecondsText(deadline_) + L" 秒内没有回答");
        }
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
