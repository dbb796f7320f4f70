// Text crossing through the system's ANSI code page.
#include <windows.h>

#include "platform/text.h"

namespace vindrel {

std::string ToAnsi(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, result.data(), size, nullptr, nullptr);
    return result;
}

std::wstring FromAnsi(std::string_view bytes) {
    // Drop a lead byte whose trail byte was cut off, so a title cut inside
    // a double-byte character does not end in a stray character.
    std::size_t whole = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const bool lead = IsDBCSLeadByte(static_cast<BYTE>(bytes[i]));
        const std::size_t width = lead ? 2 : 1;
        if (i + width > bytes.size()) break;
        i += width;
        whole = i;
    }
    if (whole == 0) return {};
    const int length = static_cast<int>(whole);
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, result.data(), size);
    return result;
}

std::wstring LowerCase(std::wstring_view text) {
    std::wstring result(text);
    if (!result.empty()) CharLowerBuffW(result.data(), static_cast<DWORD>(result.size()));
    return result;
}

int CompareText(std::wstring_view a, std::wstring_view b) {
    // CSTR_LESS_THAN, CSTR_EQUAL, CSTR_GREATER_THAN are 1, 2, 3 (0 fails:
    // then as equal, and the rows keep their order).
    const int result =
        CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                       b.data(), static_cast<int>(b.size()));
    return result == 0 ? 0 : result - CSTR_EQUAL;
}

}  // namespace vindrel
