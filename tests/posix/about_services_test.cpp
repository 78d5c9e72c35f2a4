// The POSIX services behind the About window, on the real system.
#include <gtest/gtest.h>

#include <langinfo.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/ansi.h"
#include "platform/posix/programs.h"
#include "platform/posix/registry.h"
#include "platform/posix/user_name.h"
#include "support/scratch.h"

namespace stock::test {
namespace {

namespace fs = std::filesystem;

std::u16string u16(const fs::path& p) { return fromAnsi(p.string()); }

TEST(PosixUserName, GivesTheEffectiveUsersLoginNameCountingItsNul) {
    const passwd* pw = getpwuid(geteuid());
    ASSERT_NE(pw, nullptr);
    const std::string expected = std::string(pw->pw_name) + '\0';
    PosixUserName userName;
    std::string buffer(255, ' ');
    std::uint32_t count = 255;
    EXPECT_TRUE(userName.getUserName(buffer.data(), count));
    EXPECT_EQ(buffer.substr(0, count), expected) << "the count includes the NUL";
}

TEST(PosixPrograms, FileTestCountsOrdinaryFilesOnlyAndStartFailsLoudlyForWhatCannotRun) {
    ScratchDir s;
    PosixPrograms programs;
    EXPECT_TRUE(programs.isFile(u16(s.file("plain", "x"))));
    for (const auto& p : {u16(s.dir), u16(s.dir / "missing"), std::u16string()}) {
        EXPECT_FALSE(programs.isFile(p));
        EXPECT_THROW(programs.start(p), std::system_error);
    }
    EXPECT_THROW(programs.start(u16(s.dir / "plain")), std::system_error) << "not executable";
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no child left behind";
}

// In the POSIX locale too, as after `su - user` on a minimal install.
TEST(PosixPrograms, StartsThePathItselfDetachedNeverASplitCommandLine) {
    const std::string savedLocale = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C");
    ASSERT_STREQ(::nl_langinfo(CODESET), "ANSI_X3.4-1968");
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
    std::setlocale(LC_ALL, savedLocale.c_str());
}

// The information program's path, as the About window reads it: the first of
// its list found in an absolute folder on PATH.
TEST(PosixRegistry, AnswersTheInformationProgramsPath) {
    ScratchDir s;
    const fs::path bin1 = s.dir / "bin1", bin2 = s.dir / "bin2";
    s.file("bin1/hardinfo", "");  // not executable: not a program
    const fs::path kinfo = s.file("bin1/kinfocenter", "", true);
    const fs::path hardinfo = s.file("bin2/hardinfo", "", true);
    s.file("rel/hardinfo", "", true);
    const fs::path cwd = fs::current_path();
    fs::current_path(s.dir);  // where a relative folder on PATH would look
    const std::pair<std::string, std::string> cases[] = {
        {bin1.string(), kinfo.string()},
        {bin1.string() + ":" + bin2.string(), hardinfo.string()},  // hardinfo first
        {"", ""},
        {"rel::.", ""},
    };
    const std::string savedPath = std::getenv("PATH");
    for (const auto& [path, found] : cases) {
        ::setenv("PATH", path.c_str(), 1);
        PosixRegistry registry;
        RegKey key = 0;
        ASSERT_EQ(registry.openKey(reg::kLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", 0, reg::kRead, key),
                  reg::kSuccess);
        std::uint8_t data[1024] = {};
        std::uint32_t size = sizeof data, type = 0;
        const RegStatus st = registry.queryValue(key, "PATH", type, data, size);
        EXPECT_EQ(st, found.empty() ? reg::kFileNotFound : reg::kSuccess) << path;
        if (st == reg::kSuccess) {
            EXPECT_EQ(type, reg::kSz);
            EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), found + '\0') << "with its terminator";
        }
        EXPECT_EQ(registry.closeKey(key), reg::kSuccess);
    }
    fs::current_path(cwd);
    ::setenv("PATH", savedPath.c_str(), 1);
}

}  // namespace
}  // namespace stock::test
