#include "platform/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/step_error.h"

namespace vindrel {
namespace {

TEST(NumericValue, ReadsSignDecimalsAndExponent) {
    EXPECT_EQ(NumericValue(L"123"), 123);
    EXPECT_EQ(NumericValue(L"-5"), -5);
    EXPECT_EQ(NumericValue(L"+7"), 7);
    EXPECT_EQ(NumericValue(L"2.5"), 2.5);
    EXPECT_EQ(NumericValue(L".5"), 0.5);
    EXPECT_EQ(NumericValue(L"5."), 5);
    EXPECT_EQ(NumericValue(L"1.2.3"), 1.2);  // a second point cannot continue
    EXPECT_EQ(NumericValue(L"1E3"), 1000);
    EXPECT_EQ(NumericValue(L"1e-2"), 0.01);
    EXPECT_EQ(NumericValue(L"2D2"), 200);  // D is an exponent letter too
    EXPECT_EQ(NumericValue(L"2d+2"), 200);
    // An exponent letter without digits ends the number before it.
    EXPECT_EQ(NumericValue(L"1E"), 1);
    EXPECT_EQ(NumericValue(L"1E+"), 1);
    EXPECT_EQ(NumericValue(L"1Ex"), 1);
}

TEST(NumericValue, SkipsBlanksTabsAndLineFeedsAnywhere) {
    EXPECT_EQ(NumericValue(L"  42"), 42);
    EXPECT_EQ(NumericValue(L"1 2"), 12);  // digits separated by a blank read as one number
    EXPECT_EQ(NumericValue(L"\t1\n2 3"), 123);
    EXPECT_EQ(NumericValue(L"- 5"), -5);
    EXPECT_EQ(NumericValue(L"1 E 2"), 100);
    // A carriage return is not a blank: it stops the number.
    EXPECT_EQ(NumericValue(L"1\r2"), 1);
}

TEST(NumericValue, StopsAtTheFirstCharacterThatCannotContinue) {
    EXPECT_EQ(NumericValue(L"12abc"), 12);
    EXPECT_EQ(NumericValue(L"abc12"), 0);
    EXPECT_EQ(NumericValue(L""), 0);
    EXPECT_EQ(NumericValue(L"   "), 0);
    EXPECT_EQ(NumericValue(L"-"), 0);
    EXPECT_EQ(NumericValue(L"."), 0);
    EXPECT_EQ(NumericValue(L"中文"), 0);
    EXPECT_EQ(NumericValue(L"3中"), 3);
}

TEST(NumericValue, ReadsHexadecimalAndOctal) {
    EXPECT_EQ(NumericValue(L"&H1F"), 31);
    EXPECT_EQ(NumericValue(L"&hff"), 255);
    EXPECT_EQ(NumericValue(L"&Ha"), 10);  // the lowest letter digit, in lower case
    EXPECT_EQ(NumericValue(L"&O17"), 15);
    EXPECT_EQ(NumericValue(L"&o78"), 7);  // 8 is no octal digit
    EXPECT_EQ(NumericValue(L"& H 10"), 16);
    EXPECT_EQ(NumericValue(L"&HFFFFFFFF"), 4294967295.0);  // non-negative, any width
    EXPECT_EQ(NumericValue(L"&"), 0);
    EXPECT_EQ(NumericValue(L"&X1"), 0);
    EXPECT_EQ(NumericValue(L"-&H10"), 0);  // a sign cannot precede the ampersand
}

TEST(NumericValue, FullWidthDigitsAndValuesBeyondADouble) {
    EXPECT_EQ(NumericValue(L"１２３"), 123);
    EXPECT_EQ(NumericValue(L"９０"), 90);  // the last full-width digit
    EXPECT_EQ(NumericValue(L"1E400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(NumericValue(L"-1E400"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(NumericValue(L"1E-400"), 0);
    EXPECT_EQ(NumericValue(std::wstring(5000, L'9')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(NumericValue(L"0E99999999999999999999"), 0);
    EXPECT_EQ(NumericValue(L"0.000001E99999999999999999999"),
              std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::signbit(NumericValue(L"-0")));
}

TEST(HandleInteger, RoundsHalvesToEven) {
    EXPECT_EQ(HandleInteger(2.5), 2);
    EXPECT_EQ(HandleInteger(3.5), 4);
    EXPECT_EQ(HandleInteger(-2.5), -2);
    EXPECT_EQ(HandleInteger(-3.5), -4);
    EXPECT_EQ(HandleInteger(2.4999), 2);
    EXPECT_EQ(HandleInteger(2.5001), 3);
    EXPECT_EQ(HandleInteger(-0.0), 0);
}

TEST(HandleInteger, FailsOutsideSigned32Bits) {
    EXPECT_EQ(HandleInteger(2147483647.0), 2147483647);
    EXPECT_EQ(HandleInteger(-2147483648.0), -2147483647 - 1);
    EXPECT_EQ(HandleInteger(-2147483648.5), -2147483647 - 1);  // rounds to the even -2147483648
    EXPECT_THROW(HandleInteger(2147483647.5), StepError);      // rounds to 2147483648
    EXPECT_THROW(HandleInteger(-2147483649.0), StepError);
    EXPECT_THROW(HandleInteger(std::numeric_limits<double>::infinity()), StepError);
    EXPECT_THROW(HandleInteger(std::nan("")), StepError);
    try {
        HandleInteger(1e10);
        FAIL();
    } catch (const StepError& e) {
        EXPECT_NE(e.Prompt().find(L"10000000000"), std::wstring::npos);
    }
}

TEST(DecimalText, DigitsWithAMinusForNegatives) {
    EXPECT_EQ(DecimalText(-5), L"-5");
    EXPECT_EQ(DecimalText(0), L"0");
    EXPECT_EQ(DecimalText(2147483647), L"2147483647");
    EXPECT_EQ(DecimalText(-2147483647 - 1), L"-2147483648");
}

TEST(HandleArgument, OnlyOneArgumentOfPlainDigitsInRange) {
    using Args = std::vector<std::wstring>;
    EXPECT_EQ(HandleArgument({L"65612"}), 65612);
    EXPECT_EQ(HandleArgument({L"0"}), 0);
    EXPECT_EQ(HandleArgument({L"2147483647"}), 2147483647);
    EXPECT_EQ(HandleArgument({L"0000000042"}), 42);
    const Args ignored[] = {
        {},
        {L""},
        {L"-5"},
        {L"+5"},
        {L" 5"},
        {L"5 "},
        {L"&H10"},
        {L"0x10"},
        {L"2147483648"},
        {L"00000000042"},
        {L"１２３"},    // full-width digits
        {L"\u0663"},    // Arabic-Indic three
        {L"12\u00B3"},  // a superscript three
        {L"1e3"},
        {L"1.0"},
        {L"12", L"34"},                // several arguments
        {std::wstring(100000, L'7')},  // very long
    };
    for (const Args& args : ignored) {
        EXPECT_EQ(HandleArgument(args), std::nullopt) << (args.empty() ? "none" : "some");
    }
}

// The restart's command line comes back as the arguments it was made of
// (the C runtime's rules: quotes, and backslashes only before a quote).
TEST(RestartArguments, GoThroughTheCommandLineAndAreReadBackOrRefused) {
    const RestartArguments both{100, L"C:\\Users\\A B\\AppData\\Local\\Vindrel\\1-2.handed"};
    EXPECT_EQ(CommandLine(both.List()),
              L"100 --record \"C:\\Users\\A B\\AppData\\Local\\Vindrel\\1-2.handed\"");
    EXPECT_EQ(CommandLine({L"a\"b", L"end\\ x\\", L"", L"\\\\srv\\x"}),
              L"\"a\\\"b\" \"end\\ x\\\\\" \"\" \\\\srv\\x");
    using Args = std::vector<std::wstring>;
    EXPECT_EQ(ReadRestartArguments(both.List())->record, both.record);
    EXPECT_EQ(ReadRestartArguments(both.List())->handle, 100);
    EXPECT_EQ(ReadRestartArguments({L"--record", L"x"})->handle, std::nullopt);
    EXPECT_EQ(ReadRestartArguments({L"7"})->record, std::nullopt);
    for (const Args& refused :
         {Args{}, Args{L"--record"}, Args{L"7", L"--record"}, Args{L"--record", L""},
          Args{L"7", L"--record", L"x", L"y"}, Args{L"--record", L"x", L"7"}, Args{L"hide"}}) {
        EXPECT_FALSE(ReadRestartArguments(refused)) << refused.size();
    }
}

TEST(Alpha, ByteAndScaledAlphaRanges) {
    EXPECT_EQ(ByteAlpha(0), 0);
    EXPECT_EQ(ByteAlpha(255), 255);
    EXPECT_THROW(ByteAlpha(256), StepError);
    EXPECT_THROW(ByteAlpha(-1), StepError);
    EXPECT_EQ(ScaledAlpha(51), 255);
    EXPECT_EQ(ScaledAlpha(0), 0);
    EXPECT_EQ(ScaledAlpha(6553), 32765);
    EXPECT_THROW(ScaledAlpha(6554), StepError);
    EXPECT_EQ(ScaledAlpha(-6553), -32765);
    EXPECT_THROW(ScaledAlpha(-6554), StepError);
}

}  // namespace
}  // namespace vindrel
