#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/guard/guard.h"

namespace stock {
namespace {

std::vector<std::string> lines;

// Every swallowed failure is one line, naming the handler and what failed;
// nothing gets out, and an empty handler says nothing.
TEST(Guard, ASwallowedFailureIsOneLineNamingTheHandler) {
    lines.clear();
    setFailureSink([](std::string_view line) { lines.emplace_back(line); });
    guarded("Command8_Click", [] { throw std::runtime_error("no room\nat all"); })();
    guarded("Timer1_Timer", [] { throw 42; })();  // not even a std::exception
    guarded("List1_Click", {})();
    int seen = 0;
    guardedEvent("Tray_Event", [&](int v) {
        seen = v;
        throw std::bad_alloc();
    })(516);
    guardedEvent("Tray_Event", {})(1);
    setFailureSink(nullptr);

    EXPECT_EQ(seen, 516) << "the event reaches the handler";
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "stockkun: Command8_Click failed: no room at all\n");
    EXPECT_EQ(lines[1].rfind("stockkun: Timer1_Timer failed: ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2].rfind("stockkun: Tray_Event failed: ", 0), 0u) << lines[2];
    for (const auto& line : lines) EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
}

}  // namespace
}  // namespace stock
