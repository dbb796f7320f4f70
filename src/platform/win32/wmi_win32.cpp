// (Under Wine the scripting route cannot read Name; this one can.)
#include "platform/win32/wmi_win32.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "platform/step_error.h"
#include "platform/win32/com.h"
#include "platform/window_system.h"
#include "platform/wmi_listing.h"

namespace vindrel::win32 {

namespace {

using Microsoft::WRL::ComPtr;

[[noreturn]] void Fail(const wchar_t* call, HRESULT hr) {
    const auto code = static_cast<std::uint32_t>(hr);
    throw StepError(L"无法列出正在运行的进程",
                    std::wstring(L"WMI 调用 ") + call + L" 失败（HRESULT " + HexCode(code) + L"）",
                    code);
}

void Check(const wchar_t* call, HRESULT hr) {
    if (FAILED(hr)) Fail(call, hr);
}

// WMI hands a CIM uint32 over as VT_I4; any integer variant is accepted,
// anything else (VT_NULL for an absent value, a string) is not.
std::optional<Pid> IntegerValue(const VARIANT& value) {
    switch (value.vt) {
        case VT_I4:
            return static_cast<Pid>(value.lVal);
        case VT_UI4:
            return static_cast<Pid>(value.ulVal);
        case VT_INT:
            return static_cast<Pid>(value.intVal);
        case VT_UINT:
            return static_cast<Pid>(value.uintVal);
        case VT_I2:
            return value.iVal;
        case VT_UI2:
            return value.uiVal;
        case VT_I1:
            return value.cVal;
        case VT_UI1:
            return value.bVal;
        default:
            return std::nullopt;
    }
}

// How many objects one Next asks for, and how long it may wait for them:
// no longer than the program waits for a whole listing, so that a worker
// abandoned by a slow service is free again soon after.
constexpr ULONG kBatch = 64;
constexpr long kBatchTimeoutMs = static_cast<long>(kListingDeadline.count());

// The proxy security every WMI interface needs across processes.
void SetProxySecurity(IUnknown* proxy) {
    Check(L"CoSetProxyBlanket",
          Com().CoSetProxyBlanket(proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                  RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                                  EOAC_NONE));
}

// The objects of one query, fetched a batch at a time.
class WbemObjects : public WmiCollection {
public:
    explicit WbemObjects(ComPtr<IEnumWbemClassObject> objects) : objects_(std::move(objects)) {}

    bool Next(WmiObject& process) override {
        while (next_ == batch_.size()) {
            if (ended_) return false;
            Fetch();
        }
        IWbemClassObject& object = *batch_[next_++].Get();
        Variant name;
        Check(L"IWbemClassObject::Get(Name)", object.Get(L"Name", 0, name.Out(), nullptr, nullptr));
        process.Name =
            name.Get().vt == VT_BSTR && name.Get().bstrVal != nullptr
                ? std::wstring(name.Get().bstrVal, Com().SysStringLen(name.Get().bstrVal))
                : std::wstring();
        // A missing or unreadable ProcessId is not a failure of the listing:
        // that row falls back to looking its id up by name.
        Variant id;
        process.ProcessId = SUCCEEDED(object.Get(L"ProcessId", 0, id.Out(), nullptr, nullptr))
                                ? IntegerValue(id.Get())
                                : std::nullopt;
        return true;
    }

private:
    void Fetch() {
        batch_.clear();
        next_ = 0;
        std::array<IWbemClassObject*, kBatch> fetched{};
        ULONG returned = 0;
        const HRESULT hr = objects_->Next(kBatchTimeoutMs, kBatch, fetched.data(), &returned);
        for (ULONG i = 0; i < returned && i < kBatch; ++i) {
            // The reference Next handed over becomes the pointer's own.
            // (MinGW's ComPtr::Attach adds one more, which would leak every
            // object of every listing.)
            batch_.emplace_back();
            *batch_.back().GetAddressOf() = fetched[i];
        }
        Check(L"IEnumWbemClassObject::Next", hr);
        // WBEM_S_TIMEDOUT: fewer than asked for so far; nothing at all
        // within the timeout is a service that stopped answering.
        // WBEM_S_FALSE: fewer than asked for, and no more to come; any
        // other answer with nothing in it ends the walk as well.
        if (hr == WBEM_S_TIMEDOUT && returned == 0) Fail(L"IEnumWbemClassObject::Next", hr);
        if (hr == WBEM_S_FALSE || returned == 0) ended_ = true;
    }

    ComPtr<IEnumWbemClassObject> objects_;
    std::vector<ComPtr<IWbemClassObject>> batch_;
    std::size_t next_ = 0;
    bool ended_ = false;
};

// A connection to root\cimv2. It joins the calling thread to the
// multithreaded apartment for as long as it lives, and is used from that
// thread only.
class WbemConnection : public WmiConnection {
public:
    WbemConnection() {
        Check(L"CoCreateInstance(WbemLocator)",
              Com().CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(&locator_)));
        const Bstr space(L"ROOT\\CIMV2");
        // Within two minutes at most, rather than whenever the service
        // answers: an abandoned worker comes back in the end.
        Check(L"ConnectServer", locator_->ConnectServer(space.Get(), nullptr, nullptr, nullptr,
                                                        WBEM_FLAG_CONNECT_USE_MAX_WAIT, nullptr,
                                                        nullptr, &services_));
        SetProxySecurity(services_.Get());
    }

    std::unique_ptr<WmiCollection> ExecQuery(const std::wstring& wql) override {
        const Bstr language(L"WQL");
        const Bstr query(wql.c_str());
        ComPtr<IEnumWbemClassObject> objects;
        Check(L"ExecQuery",
              services_->ExecQuery(language.Get(), query.Get(),
                                   WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                   &objects));
        SetProxySecurity(objects.Get());
        return WbemCollection(std::move(objects));
    }

private:
    ComApartment apartment_;  // first in, last out: outlives the objects
    ComPtr<IWbemLocator> locator_;
    ComPtr<IWbemServices> services_;
};

}  // namespace

std::unique_ptr<WmiCollection> WbemCollection(ComPtr<IEnumWbemClassObject> objects) {
    return std::make_unique<WbemObjects>(std::move(objects));
}

std::unique_ptr<WmiConnection> OpenWmiConnection() {
    return std::make_unique<WbemConnection>();
}

}  // namespace vindrel::win32
