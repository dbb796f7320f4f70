// One move-only owner for kernel handles, with the empty value spelled out
// per kind: process, thread and event handles are empty at NULL, a Tool
// Help snapshot at INVALID_HANDLE_VALUE.
#pragma once

#include <windows.h>

#include <utility>

namespace vindrel::win32 {

template <HANDLE (*Empty)()>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Empty())) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, Empty());
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Empty(); }
    void Reset() {
        if (handle_ != Empty()) ::CloseHandle(handle_);
        handle_ = Empty();
    }

private:
    HANDLE handle_ = Empty();
};

inline HANDLE NullHandle() {
    return nullptr;
}
inline HANDLE InvalidHandle() {
    return INVALID_HANDLE_VALUE;
}

using UniqueProcessHandle = UniqueHandle<NullHandle>;
using UniqueEventHandle = UniqueHandle<NullHandle>;
using UniqueTokenHandle = UniqueHandle<NullHandle>;
using UniqueFileHandle = UniqueHandle<InvalidHandle>;

}  // namespace vindrel::win32
