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
    // A file of an earlier version is rewritten as the current one: the
    // same but for its first line, and for nothing that version lacked.
    const std::string_view header = bytes.substr(0, bytes.find('\n'));
    const bool first = header == "Vindrel change record, version 1";
    const bool second = header == "Vindrel change record, version 2";
    std::string written = WriteRecordFile(*file);
    written.replace(0, written.find('\n'), header);
    Check(written == bytes);
    for (const RecordedWindow& window : file->windows) {
        Check(!first || !window.topmost);
        Check(!(first || second) || !window.boss);
        Check(!window.boss || window.hid);
        Check(window.window != 0 && window.pid != 0 && !window.className.empty());
        Check(!window.Empty());
        Check(!window.layering || window.layering->layered == window.layering->key.has_value());
    }
    return 0;
}
