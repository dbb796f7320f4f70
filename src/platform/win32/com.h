// COM set-up for the user-interface thread, and owners for BSTR and VARIANT
// (MinGW has no comsupp library, so no _bstr_t or _variant_t).
#pragma once

#include <windows.h>
// after windows.h
#include <oleauto.h>

#include <string>

namespace vindrel::win32 {

// Initialises COM (single-threaded apartment) and its default security for
// the thread that creates it; undone when it goes.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_ = false;
};

class Bstr {
public:
    explicit Bstr(const wchar_t* text) : bstr_(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(bstr_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return bstr_; }

private:
    BSTR bstr_;
};

class Variant {
public:
    Variant() { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* Out() {
        VariantClear(&value_);
        return &value_;
    }
    const VARIANT& Get() const { return value_; }

private:
    VARIANT value_;
};

}  // namespace vindrel::win32
