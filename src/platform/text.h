// Crossing text between the program's Unicode and the ANSI code page of the
// `A` window-system calls, and the platform's lower-casing. On Windows these
// use the system's ANSI code page; the host build (unit tests) uses code
// page 936, so double-byte text is exercised there too.
#pragma once

#include <string>
#include <string_view>

namespace vindrel {

// Characters the code page lacks become '?'.
std::string ToAnsi(std::wstring_view text);

// An incomplete double-byte character at the end (a text cut inside a
// character) is dropped rather than turned into a stray character.
std::wstring FromAnsi(std::string_view bytes);

std::wstring LowerCase(std::wstring_view text);

// Orders two texts as the user's locale sorts them, case ignored:
// negative, 0 or positive.
int CompareText(std::wstring_view a, std::wstring_view b);

}  // namespace vindrel
