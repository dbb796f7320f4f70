#include "platform/text.h"

#include <gtest/gtest.h>

namespace vindrel {
namespace {

// These run in the host build (code page 936 through iconv) and under Wine
// with the zh_CN locale, whose ANSI code page is 936 too.

TEST(AnsiCrossing, DoubleByteTextRoundTrips) {
    const std::wstring text = L"记事本 Notepad";
    const std::string bytes = ToAnsi(text);
    EXPECT_EQ(bytes.size(), 3 * 2 + 8u);
    EXPECT_EQ(FromAnsi(bytes), text);
    EXPECT_EQ(ToAnsi(L""), "");
    EXPECT_EQ(FromAnsi(""), L"");
}

TEST(AnsiCrossing, CharactersTheCodePageLacksBecomeQuestionMarks) {
    EXPECT_EQ(ToAnsi(L"a\u0E01b"), "a?b");  // a Thai letter has no GBK form
    EXPECT_EQ(FromAnsi(ToAnsi(L"\u0E01\u4E2D")), L"?中");
}

TEST(AnsiCrossing, ATextCutInsideACharacterDropsTheHalf) {
    std::string bytes = ToAnsi(L"中文");
    bytes.pop_back();
    EXPECT_EQ(FromAnsi(bytes), L"中");
}

TEST(LowerCase, LowersAsciiLetters) {
    EXPECT_EQ(LowerCase(L"NotePad.EXE"), L"notepad.exe");
    EXPECT_EQ(LowerCase(L"记事本.EXE"), L"记事本.exe");
}

}  // namespace
}  // namespace vindrel
