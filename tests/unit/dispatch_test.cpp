// What arrives during a handling waits for it: commands in arrival order,
// ticks not at all; a closed window runs nothing more.
#include "platform/dispatch.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace vindrel {
namespace {

TEST(Dispatch, CommandsDuringAHandlingRunAfterItInOrderAndTicksAreDropped) {
    Dispatch dispatch;
    std::vector<std::string> ran;
    const auto note = [&](std::string what) { return [&ran, what] { ran.push_back(what); }; };

    dispatch.Command([&] {
        ran.push_back("outer");
        dispatch.Command(note("first"));
        dispatch.Tick(note("tick"));  // dropped: the next one comes
        dispatch.Command([&] {
            ran.push_back("second");
            dispatch.Command(note("kept by a kept one"));
        });
        ran.push_back("outer end");
    });
    EXPECT_EQ(ran, (std::vector<std::string>{"outer", "outer end", "first", "second",
                                             "kept by a kept one"}));
    EXPECT_FALSE(dispatch.Busy());

    // A handling that ends by an exception holds up neither what it kept
    // nor what comes next; the first failure is the one passed on.
    ran.clear();
    EXPECT_THROW(dispatch.Tick([&] {
        dispatch.Command([&] {
            ran.push_back("kept by a failing one");
            throw std::logic_error("second");
        });
        throw std::runtime_error("first");
    }),
                 std::runtime_error);
    dispatch.Tick(note("tick"));
    EXPECT_EQ(ran, (std::vector<std::string>{"kept by a failing one", "tick"}));

    // The window goes while a command is kept: it never runs, nor does
    // anything after.
    ran.clear();
    dispatch.Command([&] {
        dispatch.Command(note("kept"));
        dispatch.Close();
    });
    dispatch.Command(note("late"));
    dispatch.Tick(note("late tick"));
    EXPECT_TRUE(ran.empty());
}

}  // namespace
}  // namespace vindrel
