// The text and number conversions shared by everything that reads a number
// out of a text box or a list row, or writes one back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vindrel {

// The number a text starts with. Blanks, tabs and line feeds are skipped
// wherever they stand; then an optional sign, digits with at most one decimal
// point, and an optional exponent (E or D, either case, optional sign,
// digits). "&H" / "&O" introduce a hexadecimal / octal integer, read as a
// non-negative value. Reading stops at the first character that cannot
// continue the number; a text that starts with no number gives 0. Full-width
// digits count as digits. Values beyond the range of a double give +-infinity.
double NumericValue(std::wstring_view text);

// Rounds to the nearest integer, halves to the even neighbour. Throws
// StepError when the result does not fit a signed 32-bit integer (NaN and
// infinities included).
std::int32_t HandleInteger(double value);

// "-5", "0", "123": the digits, with "-" for negative values.
std::wstring DecimalText(std::int32_t value);

// The window handle the program is started with: its one command-line
// argument, when that is 1 to 10 ASCII digits of a value up to 2147483647.
// Anything else (no argument or several, a sign, blanks, hexadecimal,
// other digits, a larger value) gives nothing.
std::optional<std::int32_t> HandleArgument(const std::vector<std::wstring>& arguments);

// Which letters a hexadecimal number may use.
enum class HexLetters { AnyCase, UpperOnly };

// The run of ASCII digits a text starts with, in base 10 or 16: how many
// characters it takes, and its value; no value once it passes `limit`.
struct DigitRun {
    std::size_t length = 0;
    std::optional<std::uint64_t> value;
};
DigitRun LeadingDigits(std::string_view text, int base, std::uint64_t limit,
                       HexLetters letters = HexLetters::AnyCase);
DigitRun LeadingDigits(std::wstring_view text, int base, std::uint64_t limit,
                       HexLetters letters = HexLetters::AnyCase);
// A text that is nothing but such digits, at least one, up to `limit`.
std::optional<std::uint64_t> DigitsValue(std::string_view text, int base, std::uint64_t limit,
                                         HexLetters letters = HexLetters::AnyCase);
std::optional<std::uint64_t> DigitsValue(std::wstring_view text, int base, std::uint64_t limit,
                                         HexLetters letters = HexLetters::AnyCase);

// What a copy started again as administrator is given: the handle for
// Text2 (decimal, as HandleArgument reads it), then "--record" and the full
// path of the change record the copy before it hands over; either or both.
struct RestartArguments {
    std::optional<std::int32_t> handle;
    std::optional<std::wstring> record;
    std::vector<std::wstring> List() const;
};
// Empty for anything else (none at all included).
std::optional<RestartArguments> ReadRestartArguments(const std::vector<std::wstring>& arguments);

// The last part of a path: what follows its last \ or /.
std::wstring FileNameOf(const std::wstring& path);

// Arguments joined into one command line that the C runtime splits back
// into the same arguments (quotes and the backslashes before them escaped).
std::wstring CommandLine(const std::vector<std::wstring>& arguments);

// A 16-bit alpha narrowed to a byte; throws StepError outside 0..255.
std::uint8_t ByteAlpha(std::int16_t alpha);

// A 16-bit scroll value times 5; throws StepError outside the 16-bit range.
std::int16_t ScaledAlpha(std::int16_t scrollValue);

}  // namespace vindrel
