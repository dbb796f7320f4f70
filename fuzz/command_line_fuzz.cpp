// libFuzzer target for the command line's reader: any arguments (UTF-16,
// split at NUL) are read as a command or refused with a reason, never a
// crash; a command read holds what its verb needs and nothing it refuses.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "actions/command_line.h"
#include "fuzz_check.h"
#include "table/window_rows.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vindrel;
    std::vector<std::wstring> arguments(1);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const auto unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (unit == L'\0') {
            arguments.emplace_back();
        } else {
            arguments.back() += unit;
        }
    }
    const CommandRead read = ReadCommand(arguments);
    if (read.error) {
        Check(!read.error->empty() &&
              UsageText(*read.error).starts_with(L"用法错误：" + *read.error));
        return 0;
    }
    const Command& command = read.command;
    Check(command.verb != nullptr && !(command.all && command.first));
    Check(!command.verb->searchNeeded || command.search.has_value());
    Check(command.verb->candidates != Candidates::None || !command.search);
    if (command.search) {
        const WindowSearch search(*command.search, true);
        const bool numbered = search.Which() == WindowSearch::Kind::Pid ||
                              search.Which() == WindowSearch::Kind::Handle;
        Check(!numbered || search.Number().has_value());
    }
    if (command.verb->verb == Verb::Opacity) Check(command.alpha * 100 / 255 <= 100);
    return 0;
}
