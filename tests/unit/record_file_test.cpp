// The change record's file: what is written comes back whole, and nothing
// but a whole file of this version is read.
#include <gtest/gtest.h>

#include "actions/record_file.h"

namespace vindrel::testing {
namespace {

RecordFile Sample() {
    RecordedWindow every{.window = static_cast<Hwnd>(0x8001A2B4),
                         .pid = 4242,
                         .created = 133790012345678901u,
                         .className = L"Notepad",
                         .process = L"记事本.exe",
                         .hid = true,
                         .boss = BossPlace{3, 2, {-10, 20, 300, 400}, true},
                         .layering = Layering{true, 0x123456u, 3u, 40},
                         .setAlpha = 0,
                         // Line breaks, a tab, a backslash, a lone surrogate.
                         .title = std::wstring(L"前\r\n\t\\后") + wchar_t(0xD800) + L"😀",
                         .setTitle = std::wstring(L"新名字") + wchar_t(0xDC00),
                         .topmost = false,
                         .setTopmost = true};
    const RecordedWindow unlayered{
        .window = 0x10010, .pid = 8, .className = L"X", .layering = Layering{}, .setAlpha = 128};
    return {{every, unlayered}, true};
}

TEST(RecordFile, EveryAspectAndAnyTextComesBackAsItWas) {
    const RecordFile file = Sample();
    const std::optional<RecordFile> back = ReadRecordFile(WriteRecordFile(file));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->windows, file.windows);
    EXPECT_TRUE(back->left);
    // A window whose line could not be read back is left out, not the file.
    RecordFile huge = file;
    huge.windows[0].title = std::wstring(400000, L'字');
    EXPECT_EQ(ReadRecordFile(WriteRecordFile(huge))->windows.size(), 1u);
    // Files of the earlier versions still read: the first had no topmost
    // aspect, the second no boss key.
    RecordFile earlier = file;
    earlier.windows[0].boss.reset();
    for (const char* version : {"version 2", "version 1"}) {
        std::string bytes = WriteRecordFile(earlier);
        bytes.replace(bytes.find("version 3"), 9, version);
        ASSERT_TRUE(ReadRecordFile(bytes)) << version;
        EXPECT_EQ(ReadRecordFile(bytes)->windows, earlier.windows);
        earlier.windows[0].topmost.reset();
        earlier.windows[0].setTopmost = false;
    }
}

TEST(RecordFile, AnythingButAWholeFileOfThisVersionIsRefused) {
    const std::string good = WriteRecordFile(Sample());
    const auto replaced = [&](const std::string& what, const std::string& with) {
        std::string bytes = good;
        const std::size_t at = bytes.find(what);
        EXPECT_NE(at, std::string::npos) << what;
        return bytes.replace(at, what.size(), with);
    };
    RecordFile twice = Sample();
    twice.windows.push_back(twice.windows[1]);
    const std::vector<std::pair<const char*, std::string>> bad = {
        {"truncated", good.substr(0, good.size() - 1)},
        {"another version", replaced("version 3", "version 4")},
        {"a topmost aspect in the first version", replaced("version 3", "version 1")},
        {"a boss key's in the second", replaced("version 3", "version 2")},
        {"a boss key's foreground that is no bit", replaced("\t400\t1", "\t400\t2")},
        {"a boss key's edge of -0", replaced("\t-10\t", "\t-0\t")},
        {"a topmost bit that is no bit", replaced("\ttopmost\t0\t1", "\ttopmost\t2\t1")},
        {"random bytes", std::string("\x9f\x00\xff\x13garbage\n", 12)},
        {"a line too long", replaced("新名字", std::string(1u << 20, 'x'))},
        {"handle 0", replaced("0x00010010", "0x00000000")},
        {"process id 0", replaced("\t4242\t", "\t0\t")},
        {"attributes of a window not layered", replaced("0\t-\t255\t-", "0\t0x00000000\t255\t-")},
        // A window not layered is drawn opaque: its put-back could never
        // read back another alpha.
        {"an alpha of a window not layered", replaced("0\t-\t255\t-", "0\t-\t254\t-")},
        {"no aspect", replaced("\topacity\t0\t-\t255\t-\t128", "")},
        {"a window twice", WriteRecordFile(twice)},
    };
    for (const auto& [why, bytes] : bad)
        EXPECT_FALSE(ReadRecordFile(bytes)) << why;
}

}  // namespace
}  // namespace vindrel::testing
