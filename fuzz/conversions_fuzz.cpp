// libFuzzer target for the conversions that read what the user types: the
// numeric value, the handle integer, and the byte and scaled alpha. The only
// failure allowed out of a conversion is StepError; anything else (another
// exception, a sanitizer report, a broken property below) is a crash.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "platform/conversions.h"
#include "platform/step_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vindrel;
    // The input as UTF-16 code units, as a text box holds it.
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    }

    const double value = NumericValue(text);
    try {
        const std::int32_t handle = HandleInteger(value);
        Check(std::fabs(value - handle) <= 0.5);
        // Written back and read again, a handle is itself.
        Check(NumericValue(DecimalText(handle)) == handle);
        Check(HandleInteger(NumericValue(DecimalText(handle))) == handle);
    } catch (const StepError&) {
        Check(!(std::fabs(value) < 2147483647.0));
    }

    if (size >= 2) {
        const auto scroll = static_cast<std::int16_t>(data[0] | (data[1] << 8));
        try {
            const std::uint8_t alpha = ByteAlpha(scroll);
            Check(alpha == scroll);
        } catch (const StepError&) {
            Check(scroll < 0 || scroll > 255);
        }
        try {
            const std::int16_t scaled = ScaledAlpha(scroll);
            Check(scaled == scroll * 5);
            try {
                ByteAlpha(scaled);
            } catch (const StepError&) {
            }
        } catch (const StepError&) {
            Check(scroll * 5 > 32767 || scroll * 5 < -32768);
        }
    }
    return 0;
}
