// Handles and ids as the user interface carries them, and the constant
// arguments of the window-system calls, free of <windows.h>.
#pragma once

#include <cstdint>

namespace vindrel {

// A window handle or process id: a signed 32-bit integer, 0 meaning none.
using Hwnd = std::int32_t;
using Pid = std::int32_t;
// A kernel object handle (the process snapshot); -1 is the failure value.
using KernelHandle = std::int32_t;

inline constexpr KernelHandle kInvalidHandle = -1;

namespace api {
inline constexpr std::uint32_t kTh32csSnapProcess = 2;
inline constexpr std::uint32_t kGwHwndNext = 2;
inline constexpr std::uint32_t kGwOwner = 4;
inline constexpr std::uint32_t kGaRoot = 2;
inline constexpr std::uint32_t kGaRootOwner = 3;
inline constexpr int kSwHide = 0;
inline constexpr int kSwShow = 5;
inline constexpr int kSwShowNa = 8;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShowMaximized = 3;
inline constexpr int kSwShowNoActivate = 4;
inline constexpr Hwnd kHwndTop = 0;
inline constexpr Hwnd kHwndTopmost = -1;
inline constexpr Hwnd kHwndNoTopmost = -2;
inline constexpr std::uint32_t kSwpNoSize = 0x1;
inline constexpr std::uint32_t kSwpNoMove = 0x2;
inline constexpr std::uint32_t kSwpNoZOrder = 0x4;
inline constexpr std::uint32_t kSwpNoActivate = 0x10;
inline constexpr std::int32_t kWsThickFrame = 0x40000;
inline constexpr std::uint32_t kWmClose = 16;
inline constexpr int kGwlStyle = -16;
inline constexpr int kGwlExStyle = -20;
inline constexpr std::int32_t kWsVisible = 0x10000000;
inline constexpr std::int32_t kWsChild = 0x40000000;
inline constexpr std::int32_t kWsMinimize = 0x20000000;
inline constexpr std::int32_t kWsMaximize = 0x01000000;
inline constexpr std::int32_t kWsCaption = 0x00C00000;
// WINDOWPLACEMENT.flags: a minimised window that restores maximised.
inline constexpr std::uint32_t kWpfRestoreToMaximized = 0x2;
inline constexpr std::int32_t kWsExTopmost = 0x8;
inline constexpr std::int32_t kWsExToolWindow = 0x80;
inline constexpr std::int32_t kWsExAppWindow = 0x40000;
inline constexpr std::int32_t kWsExLayered = 0x80000;
inline constexpr std::uint32_t kDwmwaCloaked = 14;
inline constexpr std::uint32_t kDwmCloakedApp = 1;
inline constexpr std::uint32_t kLwaAlpha = 2;
inline constexpr std::uint32_t kLayeredColorKey = 0x00FF0000;
// The handle that PostMessage treats as "every top-level window".
inline constexpr Hwnd kHwndBroadcast = 0xFFFF;
// The user declined a prompt (ERROR_CANCELLED).
inline constexpr std::uint32_t kErrorCancelled = 1223;
// The HRESULT of a question the deadline layer gave up waiting for
// (HRESULT_FROM_WIN32(ERROR_TIMEOUT)).
inline constexpr auto kHresultTimeout = static_cast<std::int32_t>(0x800705B4);
}  // namespace api

}  // namespace vindrel
