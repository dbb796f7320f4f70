// The one exception type for a step that fails and abandons the handling
// that made it. It carries what failed and why, in the user's language, so
// the single report at the event entry can show it as it is.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace vindrel {

class StepError : public std::exception {
public:
    // `code`: the platform's error code or HRESULT behind the failure, 0
    // when there is none; a caller may act on it (WMI reconnects on some).
    StepError(std::wstring what, std::wstring why, std::uint32_t code = 0)
        : what_(std::move(what)), why_(std::move(why)), code_(code) {}

    const std::wstring& What() const { return what_; }
    const std::wstring& Why() const { return why_; }
    std::uint32_t Code() const { return code_; }
    // The text shown to the user: what failed, a line break, why.
    std::wstring Prompt() const { return what_ + L"\r\n" + why_; }

    const char* what() const noexcept override { return "vindrel::StepError"; }

private:
    std::wstring what_;
    std::wstring why_;
    std::uint32_t code_;
};

// Formats an HRESULT or error code as 0x%08X for the "why" of a StepError.
std::wstring HexCode(std::uint32_t code);

}  // namespace vindrel
