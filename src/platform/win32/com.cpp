#include "platform/win32/com.h"

#include "platform/step_error.h"
#include "platform/win32/system_function.h"

namespace vindrel::win32 {

namespace {

template <class Function>
void Load(const wchar_t* dll, const char* name, Function& function) {
    const SystemProc found = FindSystemFunction(dll, name);
    if (found.address == nullptr) {
        throw StepError(L"无法使用 COM",
                        L"找不到 " +
                            std::wstring(name, name + std::char_traits<char>::length(name)) +
                            L"，错误 " + HexCode(found.error),
                        found.error);
    }
    function = As<Function>(found);
}

ComFunctions LoadComFunctions() {
    constexpr wchar_t ole32[] = L"ole32.dll";
    constexpr wchar_t oleaut32[] = L"oleaut32.dll";
    ComFunctions f{};
    Load(ole32, "CoInitializeEx", f.CoInitializeEx);
    Load(ole32, "CoInitializeSecurity", f.CoInitializeSecurity);
    Load(ole32, "CoUninitialize", f.CoUninitialize);
    Load(ole32, "CoCreateInstance", f.CoCreateInstance);
    Load(ole32, "CoSetProxyBlanket", f.CoSetProxyBlanket);
    Load(oleaut32, "SysAllocString", f.SysAllocString);
    Load(oleaut32, "SysFreeString", f.SysFreeString);
    Load(oleaut32, "SysStringLen", f.SysStringLen);
    Load(oleaut32, "VariantInit", f.VariantInit);
    Load(oleaut32, "VariantClear", f.VariantClear);
    return f;  // the DLLs stay loaded for the life of the program
}

}  // namespace

const ComFunctions& Com() {
    static const ComFunctions functions = LoadComFunctions();
    return functions;
}

ComApartment::ComApartment() {
    initialised_ = SUCCEEDED(Com().CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    // Default authentication and impersonation for the WMI proxies; a
    // failure here (already set by someone else) is harmless.
    Com().CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                               RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
}

ComApartment::~ComApartment() {
    if (initialised_) Com().CoUninitialize();
}

}  // namespace vindrel::win32
