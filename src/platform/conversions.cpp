#include "platform/conversions.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "platform/step_error.h"

namespace vindrel {

namespace {

// Walks a text the way the numeric value reads it: blanks, tabs and line
// feeds are invisible wherever they stand.
class Cursor {
public:
    explicit Cursor(std::wstring_view text) : text_(text) { SkipBlanks(); }

    bool AtEnd() const { return pos_ >= text_.size(); }
    wchar_t Peek() const { return AtEnd() ? L'\0' : text_[pos_]; }
    void Next() {
        ++pos_;
        SkipBlanks();
    }

private:
    void SkipBlanks() {
        while (pos_ < text_.size() &&
               (text_[pos_] == L' ' || text_[pos_] == L'\t' || text_[pos_] == L'\n')) {
            ++pos_;
        }
    }

    std::wstring_view text_;
    std::size_t pos_ = 0;
};

// The value of a decimal digit, ASCII or full-width; -1 for anything else.
int DecimalDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= 0xFF10 && c <= 0xFF19) return c - 0xFF10;
    return -1;
}

int DigitInBase(wchar_t c, int base) {
    int d = DecimalDigit(c);
    if (d < 0 && base == 16) {
        if (c >= L'a' && c <= L'f') d = c - L'a' + 10;
        if (c >= L'A' && c <= L'F') d = c - L'A' + 10;
    }
    return d < base ? d : -1;
}

double ReadRadixInteger(Cursor& cur, int base) {
    double value = 0;
    for (int d; (d = DigitInBase(cur.Peek(), base)) >= 0; cur.Next())
        value = value * base + d;
    return value;
}

double ReadDecimal(Cursor& cur) {
    std::string text;  // normalised ASCII form handed to from_chars
    if (cur.Peek() == L'+' || cur.Peek() == L'-') {
        if (cur.Peek() == L'-') text += '-';
        cur.Next();
    }
    std::string intDigits, fracDigits;
    bool point = false;
    for (;; cur.Next()) {
        const wchar_t c = cur.Peek();
        if (const int d = DecimalDigit(c); d >= 0) {
            (point ? fracDigits : intDigits) += static_cast<char>('0' + d);
        } else if (c == L'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (intDigits.empty() && fracDigits.empty()) return 0;

    // The exponent counts only when at least one digit follows its letter
    // and optional sign; "1E" and "1E+" read as 1. The cursor needs no
    // rewinding: nothing after the number is read anyway.
    std::string expDigits;
    bool expNegative = false;
    const wchar_t e = cur.Peek();
    if (e == L'E' || e == L'e' || e == L'D' || e == L'd') {
        cur.Next();
        if (cur.Peek() == L'+' || cur.Peek() == L'-') {
            expNegative = cur.Peek() == L'-';
            cur.Next();
        }
        for (int d; (d = DecimalDigit(cur.Peek())) >= 0; cur.Next()) {
            expDigits += static_cast<char>('0' + d);
        }
    }

    text += intDigits.empty() ? "0" : intDigits;
    if (!fracDigits.empty()) text += "." + fracDigits;
    if (!expDigits.empty()) text += (expNegative ? "e-" : "e") + expDigits;

    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc::result_out_of_range) return value;

    // Out of a double's range: decide between overflow and underflow from
    // the decimal position of the first significant digit.
    long long magnitude;
    const auto firstInt = intDigits.find_first_not_of('0');
    if (firstInt != std::string::npos) {
        magnitude = static_cast<long long>(intDigits.size() - firstInt) - 1;
    } else {
        const auto firstFrac = fracDigits.find_first_not_of('0');
        magnitude = -static_cast<long long>(firstFrac) - 1;
    }
    long long exponent = 0;
    for (char c : expDigits)
        exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);
    magnitude += expNegative ? -exponent : exponent;
    const bool negative = text[0] == '-';
    const double result = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -result : result;
}

template <class Char>
DigitRun Digits(std::basic_string_view<Char> text, int base, std::uint64_t limit,
                HexLetters letters) {
    DigitRun run{0, 0};
    for (const Char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (base == 16 && letters == HexLetters::AnyCase && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        }
        if (digit < 0 || digit >= base) break;
        ++run.length;
        if (!run.value) continue;
        const auto b = static_cast<std::uint64_t>(base), d = static_cast<std::uint64_t>(digit);
        if (d > limit || *run.value > (limit - d) / b) {
            run.value.reset();  // past the limit; the run still goes on
        } else {
            *run.value = *run.value * b + d;
        }
    }
    return run;
}

template <class Char>
std::optional<std::uint64_t> WholeDigits(std::basic_string_view<Char> text, int base,
                                         std::uint64_t limit, HexLetters letters) {
    const DigitRun run = Digits(text, base, limit, letters);
    if (run.length == 0 || run.length != text.size()) return std::nullopt;
    return run.value;
}

std::wstring NumberText(double value) {
    if (std::isinf(value)) return value > 0 ? L"无穷大" : L"负无穷大";
    if (std::isnan(value)) return L"非数字";
    wchar_t buffer[64];
    std::swprintf(buffer, std::size(buffer), L"%.17g", value);
    return buffer;
}

}  // namespace

std::wstring HexCode(std::uint32_t code) {
    wchar_t buffer[16];
    std::swprintf(buffer, std::size(buffer), L"0x%08X", static_cast<unsigned>(code));
    return buffer;
}

double NumericValue(std::wstring_view text) {
    Cursor cur(text);
    if (cur.Peek() != L'&') return ReadDecimal(cur);
    cur.Next();
    const wchar_t radix = cur.Peek();
    if (radix == L'H' || radix == L'h') {
        cur.Next();
        return ReadRadixInteger(cur, 16);
    }
    if (radix == L'O' || radix == L'o') {
        cur.Next();
        return ReadRadixInteger(cur, 8);
    }
    return 0;
}

std::int32_t HandleInteger(double value) {
    double rounded = value;
    if (std::isfinite(value)) {
        const double floor = std::floor(value);
        const double fraction = value - floor;
        if (fraction > 0.5) {
            rounded = floor + 1;
        } else if (fraction < 0.5) {
            rounded = floor;
        } else {
            rounded = std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
        }
    }
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) {
        throw StepError(L"数值超出范围", L"数值 " + NumberText(value) +
                                             L" 不能转换为 32 位整数（-2147483648 到 2147483647）");
    }
    return static_cast<std::int32_t>(rounded);
}

std::wstring DecimalText(std::int32_t value) {
    return std::to_wstring(value);
}

DigitRun LeadingDigits(std::string_view text, int base, std::uint64_t limit, HexLetters letters) {
    return Digits(text, base, limit, letters);
}

DigitRun LeadingDigits(std::wstring_view text, int base, std::uint64_t limit, HexLetters letters) {
    return Digits(text, base, limit, letters);
}

std::optional<std::uint64_t> DigitsValue(std::string_view text, int base, std::uint64_t limit,
                                         HexLetters letters) {
    return WholeDigits(text, base, limit, letters);
}

std::optional<std::uint64_t> DigitsValue(std::wstring_view text, int base, std::uint64_t limit,
                                         HexLetters letters) {
    return WholeDigits(text, base, limit, letters);
}

std::optional<std::int32_t> HandleArgument(const std::vector<std::wstring>& arguments) {
    constexpr std::size_t kMostDigits = 10;  // 2147483647
    if (arguments.size() != 1 || arguments.front().size() > kMostDigits) return std::nullopt;
    const auto value = DigitsValue(std::wstring_view(arguments.front()), 10, INT32_MAX);
    if (!value) return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

namespace {
constexpr std::wstring_view kRecordOption = L"--record";
}  // namespace

std::vector<std::wstring> RestartArguments::List() const {
    std::vector<std::wstring> list;
    if (handle) list.push_back(DecimalText(*handle));
    if (record) {
        list.emplace_back(kRecordOption);
        list.push_back(*record);
    }
    return list;
}

std::optional<RestartArguments> ReadRestartArguments(const std::vector<std::wstring>& arguments) {
    RestartArguments read;
    std::size_t at = 0;
    if (at < arguments.size()) {
        read.handle = HandleArgument({arguments[at]});
        if (read.handle) ++at;
    }
    if (at + 2 == arguments.size() && arguments[at] == kRecordOption &&
        !arguments[at + 1].empty()) {
        read.record = arguments[at + 1];
        at += 2;
    }
    if (at == 0 || at != arguments.size()) return std::nullopt;
    return read;
}

std::wstring FileNameOf(const std::wstring& path) {
    return path.substr(path.find_last_of(L"\\/") + 1);
}

std::wstring CommandLine(const std::vector<std::wstring>& arguments) {
    std::wstring line;
    for (const std::wstring& argument : arguments) {
        if (!line.empty()) line += L' ';
        if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
            line += argument;
            continue;
        }
        line += L'"';
        std::size_t backslashes = 0;
        for (const wchar_t c : argument) {
            if (c == L'\\') {
                ++backslashes;
                continue;
            }
            // Backslashes are literal except before a quote: doubled there,
            // and the quote escaped.
            line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
            backslashes = 0;
            line += c;
        }
        line.append(backslashes * 2, L'\\');  // before the closing quote
        line += L'"';
    }
    return line;
}

std::uint8_t ByteAlpha(std::int16_t alpha) {
    if (alpha < 0 || alpha > 255) {
        throw StepError(L"透明度超出范围",
                        L"透明度 " + std::to_wstring(alpha) + L" 不在 0 到 255 之间");
    }
    return static_cast<std::uint8_t>(alpha);
}

std::int16_t ScaledAlpha(std::int16_t scrollValue) {
    const int scaled = scrollValue * 5;
    if (scaled < std::numeric_limits<std::int16_t>::min() ||
        scaled > std::numeric_limits<std::int16_t>::max()) {
        throw StepError(L"数值超出范围", L"滚动值 " + std::to_wstring(scrollValue) +
                                             L" 乘以 5 超出 16 位整数的范围");
    }
    return static_cast<std::int16_t>(scaled);
}

}  // namespace vindrel
