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

std::optional<std::int32_t> HandleArgument(const std::vector<std::wstring>& arguments) {
    constexpr std::size_t kMostDigits = 10;  // 2147483647
    if (arguments.size() != 1) return std::nullopt;
    const std::wstring& text = arguments.front();
    if (text.empty() || text.size() > kMostDigits) return std::nullopt;
    std::int64_t value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
    }
    if (value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
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
