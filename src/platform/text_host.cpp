// The host build's text crossing: code page 936 (GBK) through iconv, the
// code page the program is meant for, so that the unit tests see double-byte
// titles, replacement of missing characters and cut titles as on Windows.
#include <iconv.h>

#include <cerrno>
#include <cwctype>
#include <stdexcept>

#include "platform/text.h"

namespace vindrel {

namespace {

static_assert(sizeof(wchar_t) == 4, "the host build expects UTF-32 wchar_t");

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts one unit of input at a time so that a unit the target lacks
    // can be replaced and the rest still converted.
    // Returns false when the input ends inside a multi-byte character.
    bool Convert(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) {
        const std::size_t r = iconv(cd_, const_cast<char**>(&in), &inLeft, &out, &outLeft);
        if (r != static_cast<std::size_t>(-1)) return true;
        return errno != EINVAL;
    }
    void Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t cd_;
};

}  // namespace

std::string ToAnsi(std::wstring_view text) {
    Converter conv("CP936", "UTF-32LE");
    std::string result;
    for (wchar_t c : text) {
        char out[8];
        char* o = out;
        std::size_t outLeft = sizeof out;
        const char* in = reinterpret_cast<const char*>(&c);
        std::size_t inLeft = sizeof c;
        if (conv.Convert(in, inLeft, o, outLeft) && inLeft == 0) {
            result.append(out, o);
        } else {
            conv.Reset();
            result += '?';
        }
    }
    return result;
}

std::wstring FromAnsi(std::string_view bytes) {
    Converter conv("UTF-32LE", "CP936");
    std::wstring result;
    const char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        wchar_t c = 0;
        char* o = reinterpret_cast<char*>(&c);
        std::size_t outLeft = sizeof c;
        const char* before = in;
        const bool complete = conv.Convert(in, inLeft, o, outLeft);
        if (outLeft == 0) {
            result += c;
        } else if (!complete) {
            break;  // a lead byte with its trail byte cut off
        } else if (in == before) {
            result += L'?';  // a byte that maps to nothing
            ++in;
            --inLeft;
            conv.Reset();
        }
    }
    return result;
}

std::wstring LowerCase(std::wstring_view text) {
    std::wstring result(text);
    for (wchar_t& c : result)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return result;
}

int CompareText(std::wstring_view a, std::wstring_view b) {
    return LowerCase(a).compare(LowerCase(b));
}

}  // namespace vindrel
