// COM for the WMI listing: its functions, loaded with their DLLs on first
// use (ole32 and oleaut32 cost Wine several milliseconds of every start);
// the apartment of the listing worker; owners for BSTR and VARIANT (MinGW has no comsupp
// library, so no _bstr_t or _variant_t).
#pragma once

#include <windows.h>
// after windows.h
#include <objbase.h>
#include <oleauto.h>

#include <string>

namespace vindrel::win32 {

struct ComFunctions {
    decltype(&::CoInitializeEx) CoInitializeEx;
    decltype(&::CoInitializeSecurity) CoInitializeSecurity;
    decltype(&::CoUninitialize) CoUninitialize;
    decltype(&::CoCreateInstance) CoCreateInstance;
    decltype(&::CoSetProxyBlanket) CoSetProxyBlanket;
    decltype(&::SysAllocString) SysAllocString;
    decltype(&::SysFreeString) SysFreeString;
    decltype(&::SysStringLen) SysStringLen;
    decltype(&::VariantInit) VariantInit;
    decltype(&::VariantClear) VariantClear;
};

// Loads the DLLs once; throws StepError when they or a function are missing.
const ComFunctions& Com();

// Joins the creating thread to the multithreaded apartment (whose objects
// need no message loop) and sets COM's default security for the process;
// undone when it goes, on the same thread.
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
    explicit Bstr(const wchar_t* text) : bstr_(Com().SysAllocString(text)) {}
    ~Bstr() { Com().SysFreeString(bstr_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return bstr_; }

private:
    BSTR bstr_;
};

class Variant {
public:
    Variant() { Com().VariantInit(&value_); }
    ~Variant() { Com().VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* Out() {
        Com().VariantClear(&value_);
        return &value_;
    }
    const VARIANT& Get() const { return value_; }

private:
    VARIANT value_;
};

}  // namespace vindrel::win32
