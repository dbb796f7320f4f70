// The WMI process listing through the native interfaces behind the
// scripting moniker: IWbemLocator, then CreateInstanceEnum. (Under Wine the
// scripting route cannot read Name; this one can.)
#include <windows.h>
// after windows.h
#include <wbemidl.h>
#include <wrl/client.h>

#include <cwctype>
#include <optional>

#include "platform/step_error.h"
#include "platform/win32/com.h"
#include "platform/window_system.h"

namespace vindrel::win32 {

namespace {

using Microsoft::WRL::ComPtr;

[[noreturn]] void Fail(const wchar_t* call, HRESULT hr) {
    throw StepError(L"无法列出正在运行的进程", std::wstring(L"WMI 调用 ") + call +
                                                   L" 失败（HRESULT " +
                                                   HexCode(static_cast<std::uint32_t>(hr)) + L"）");
}

void Check(const wchar_t* call, HRESULT hr) {
    if (FAILED(hr)) Fail(call, hr);
}

bool IsDefaultMoniker(const std::wstring& moniker) {
    // "WinMgmts:" names the default namespace, root\cimv2.
    std::wstring lower;
    for (wchar_t c : moniker)
        lower += static_cast<wchar_t>(std::towlower(c));
    return lower == L"winmgmts:";
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

// Holds every COM object of one listing; all are released when it goes.
class WbemCollection : public WmiCollection {
public:
    explicit WbemCollection(const std::wstring& className) {
        Check(L"CoCreateInstance(WbemLocator)",
              Com().CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(&locator_)));
        const Bstr space(L"ROOT\\CIMV2");
        Check(L"ConnectServer", locator_->ConnectServer(space.Get(), nullptr, nullptr, nullptr, 0,
                                                        nullptr, nullptr, &services_));
        Check(L"CoSetProxyBlanket",
              Com().CoSetProxyBlanket(services_.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                      RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                                      EOAC_NONE));
        const Bstr cls(className.c_str());
        Check(L"CreateInstanceEnum",
              services_->CreateInstanceEnum(cls.Get(),
                                            WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                            nullptr, &objects_));
    }

    bool Next(WmiObject& process) override {
        ComPtr<IWbemClassObject> object;
        ULONG returned = 0;
        const HRESULT hr = objects_->Next(WBEM_INFINITE, 1, &object, &returned);
        Check(L"IEnumWbemClassObject::Next", hr);
        if (hr == WBEM_S_FALSE || returned == 0) return false;
        Variant name;
        Check(L"IWbemClassObject::Get(Name)",
              object->Get(L"Name", 0, name.Out(), nullptr, nullptr));
        process.Name =
            name.Get().vt == VT_BSTR && name.Get().bstrVal != nullptr
                ? std::wstring(name.Get().bstrVal, Com().SysStringLen(name.Get().bstrVal))
                : std::wstring();
        // A missing or unreadable ProcessId is not a failure of the listing:
        // that row falls back to looking its id up by name.
        Variant id;
        process.ProcessId = SUCCEEDED(object->Get(L"ProcessId", 0, id.Out(), nullptr, nullptr))
                                ? IntegerValue(id.Get())
                                : std::nullopt;
        return true;
    }

private:
    ComPtr<IWbemLocator> locator_;
    ComPtr<IWbemServices> services_;
    ComPtr<IEnumWbemClassObject> objects_;
};

}  // namespace

std::unique_ptr<WmiCollection> CreateWmiCollection(const std::wstring& moniker,
                                                   const std::wstring& className) {
    if (!IsDefaultMoniker(moniker)) {
        throw StepError(L"无法列出正在运行的进程", L"不支持的 WMI 名称：" + moniker);
    }
    return std::make_unique<WbemCollection>(className);
}

}  // namespace vindrel::win32
