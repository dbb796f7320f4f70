#include "platform/win32/com.h"

#include <objbase.h>

namespace vindrel::win32 {

ComApartment::ComApartment() {
    initialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    // Default authentication and impersonation for the WMI proxies; a
    // failure here (already set by someone else) is harmless.
    CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                         RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
}

ComApartment::~ComApartment() {
    if (initialised_)
        CoUninitialize();
}

}  // namespace vindrel::win32
