// The POSIX services behind the About window's "sys" button, on the real system.
#include <gtest/gtest.h>

#include <langinfo.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/text/ansi.h"
#include "os/posix/programs.h"
#include "os/posix/registry.h"
#include "support/scratch.h"

namespace stock::test {
namespace {

namespace fs = std::filesystem;

std::u16string u16(const fs::path& p) { return fromAnsi(p.string()); }

// The path itself runs, detached and with no arguments, in the POSIX locale
// too (as after `su - user` on a minimal install); what cannot run throws.
TEST(PosixPrograms, StartsThePathItselfDetachedAndFailsLoudlyForWhatCannotRun) {
    ASSERT_STREQ(::nl_langinfo(CODESET), "ANSI_X3.4-1968") << "a test program starts in the POSIX locale";
    ScratchDir s;
    const fs::path right = s.dir / "ran-info", wrong = s.dir / "ran-prog";
    // "情報" would run if the path were split at its first space.
    s.file("情報", "#!/bin/sh\ntouch '" + wrong.string() + "'\n", true);
    s.file("情報 ツール 😀", "#!/bin/sh\n[ $# -eq 0 ] && touch '" + right.string() + "'\n", true);
    const std::u16string info = u16(s.dir) + u"/情報 ツール 😀";
    PosixPrograms programs;
    EXPECT_TRUE(programs.isFile(info));
    ASSERT_NO_THROW(programs.start(info));
    EXPECT_TRUE(eventually([&] { return fs::exists(right); })) << "the program ran, with no arguments";
    EXPECT_FALSE(fs::exists(wrong));
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "the program is nobody's child here";

    const std::u16string data = u16(s.file("data", "x"));
    for (const auto& p : {u16(s.dir), u16(s.dir / "missing"), std::u16string(), data}) {
        EXPECT_EQ(programs.isFile(p), p == data);
        EXPECT_THROW(programs.start(p), std::system_error);
    }
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no child left behind";
}

// The information program's path, as the About window reads it: the first of
// its list found in an absolute folder on PATH.
TEST(PosixRegistry, AnswersTheInformationProgramsPath) {
    ScratchDir s;
    const std::string bin1 = (s.dir / "bin1").string(), bin2 = (s.dir / "bin2").string();
    s.file("bin1/hardinfo", "");  // not executable: not a program
    const fs::path kinfo = s.file("bin1/kinfocenter", "", true), hardinfo = s.file("bin2/hardinfo", "", true);
    s.file("rel/hardinfo", "", true);
    const fs::path cwd = fs::current_path();
    fs::current_path(s.dir);  // where a relative folder on PATH would look
    const std::string savedPath = std::getenv("PATH");
    PosixRegistry registry;
    for (const auto& [path, found] : {std::pair<std::string, std::string>{bin1, kinfo.string()},
                                      {bin1 + ":" + bin2, hardinfo.string()},  // hardinfo first
                                      {"", ""},
                                      {"rel::.", ""}}) {
        ::setenv("PATH", path.c_str(), 1);
        EXPECT_EQ(registry.findSystemInformationProgram(), found) << path;
    }
    ::setenv("PATH", savedPath.c_str(), 1);
    fs::current_path(cwd);
}

}  // namespace
}  // namespace stock::test
