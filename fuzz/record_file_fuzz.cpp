// libFuzzer target for the change record file's reader: any bytes (a file
// damaged, truncated or of another program) are read without a crash, and a
// file accepted is exactly what the writer writes for what was read, with
// every window whole.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "actions/record_file.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vindrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto file = ReadRecordFile(bytes);
    if (!file) return 0;
    // A file of the first version is rewritten as the current one.
    constexpr std::string_view kFirst = "Vindrel change record, version 1\n";
    const bool first = bytes.substr(0, kFirst.size()) == kFirst;
    std::string written = WriteRecordFile(*file);
    if (first) written.replace(0, kFirst.size(), kFirst);
    Check(written == bytes);
    for (const RecordedWindow& window : file->windows) {
        Check(!first || !window.topmost);
        Check(window.window != 0 && window.pid != 0 && !window.className.empty());
        Check(!window.Empty());
        Check(!window.layering || window.layering->layered == window.layering->key.has_value());
    }
    return 0;
}
