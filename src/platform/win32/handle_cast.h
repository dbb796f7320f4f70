// Conversions between the platform's handle types and the signed 32-bit
// integers the program carries. Window handles are 32-bit values on both
// 32-bit and 64-bit Windows (sign-extended on the latter).
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/types.h"

namespace vindrel::win32 {

inline HWND ToHwnd(Hwnd hwnd) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(hwnd));
}
inline Hwnd FromHwnd(HWND hwnd) {
    return static_cast<Hwnd>(reinterpret_cast<std::intptr_t>(hwnd));
}
inline HANDLE ToHandle(KernelHandle handle) {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(handle));
}
inline KernelHandle FromHandle(HANDLE handle) {
    return static_cast<KernelHandle>(reinterpret_cast<std::intptr_t>(handle));
}

}  // namespace vindrel::win32
