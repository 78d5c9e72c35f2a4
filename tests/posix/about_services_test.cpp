// The POSIX services behind the About window, on the real system.
#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "about/frm_about.h"
#include "doubles/about_fakes.h"
#include "platform/posix/programs.h"
#include "platform/posix/registry.h"
#include "platform/posix/user_name.h"
#include "support/scratch.h"

namespace stock::test {
namespace {

namespace fs = std::filesystem;

std::u16string u16(const fs::path& p) {
    const std::string s = p.string();
    return {s.begin(), s.end()};  // the scratch paths are ASCII
}

TEST(PosixUserNameTest, GivesTheEffectiveUsersLoginNameWithTheCountRules) {
    const passwd* pw = getpwuid(geteuid());
    ASSERT_NE(pw, nullptr);
    const std::string expected = pw->pw_name;

    PosixUserName userName;
    std::string buffer(255, ' ');
    std::uint32_t count = 255;
    EXPECT_TRUE(userName.getUserName(buffer.data(), count));
    EXPECT_EQ(count, expected.size() + 1) << "the count includes the NUL";
    EXPECT_EQ(buffer.substr(0, count), expected + '\0');

    std::string small(expected.size(), '#');  // one short of the NUL
    count = static_cast<std::uint32_t>(small.size());
    EXPECT_FALSE(userName.getUserName(small.data(), count));
    EXPECT_EQ(count, expected.size() + 1) << "the size needed";
    EXPECT_EQ(small, std::string(expected.size(), '#')) << "nothing written";
}

TEST(PosixProgramsTest, FileTestCountsOrdinaryFilesOnlyAndStartFailsLoudlyForWhatCannotRun) {
    ScratchDir s{"stockkun-about"};
    PosixPrograms programs;
    EXPECT_TRUE(programs.isFile(u16(s.file("plain", "x", false))));
    for (const auto& p : {u16(s.dir), u16(s.dir / "missing"), std::u16string()}) EXPECT_FALSE(programs.isFile(p));
    for (const auto& p : {std::u16string(), u16(s.dir / "missing"), u16(s.dir), u16(s.file("data", "x", false))})
        EXPECT_THROW(programs.start(p), std::system_error);
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no child left behind";
}

TEST(PosixProgramsTest, StartsThePathItselfDetachedNeverASplitCommandLine) {
    ScratchDir s{"stockkun-about"};
    const fs::path right = s.dir / "ran-info", wrong = s.dir / "ran-prog";
    // "prog" would run if the path were split at its first space.
    s.file("prog", "#!/bin/sh\ntouch '" + wrong.string() + "'\n", true);
    const fs::path info =
        s.file("prog files/info tool", "#!/bin/sh\n[ $# -eq 0 ] && touch '" + right.string() + "'\n", true);

    PosixPrograms programs;
    ASSERT_NO_THROW(programs.start(u16(info)));
    EXPECT_TRUE(eventually([&] { return fs::exists(right); })) << "the program ran, with no arguments";
    EXPECT_FALSE(fs::exists(wrong));
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "the program is nobody's child here";
}

TEST(PosixRegistryTest, AnswersTheInformationProgramsPathAndNothingElse) {
    ScratchDir s{"stockkun-about"};
    const fs::path bin1 = s.dir / "bin1", bin2 = s.dir / "bin2";
    s.file("bin1/hardinfo", "", false);  // not executable: not a program
    const fs::path kinfo = s.file("bin1/kinfocenter", "", true);
    const fs::path hardinfo = s.file("bin2/hardinfo", "", true);
    s.file("rel/hardinfo", "", true);

    auto lookup = [](const std::string& path) {
        ScopedEnv p("PATH", path);
        PosixRegistry registry;
        RegKey key = 0;
        std::string value;
        if (registry.openKey(reg::kLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", 0, reg::kRead, key) !=
            reg::kSuccess)
            return std::string("<no key>");
        std::uint8_t data[1024] = {};
        std::uint32_t size = sizeof data, type = 0;
        const RegStatus st = registry.queryValue(key, "PATH", type, data, size);
        EXPECT_EQ(registry.closeKey(key), reg::kSuccess);
        if (st != reg::kSuccess) return std::string("<not found>");
        EXPECT_EQ(type, reg::kSz);
        EXPECT_EQ(data[size - 1], 0) << "stored with its terminator";
        return std::string(reinterpret_cast<char*>(data), size - 1);
    };
    EXPECT_EQ(lookup(bin1.string()), kinfo.string());
    EXPECT_EQ(lookup(bin1.string() + ":" + bin2.string()), hardinfo.string()) << "hardinfo first";
    EXPECT_EQ(lookup(""), "<not found>");
    {
        // A relative folder on PATH names no fixed place.
        const fs::path cwd = fs::current_path();
        fs::current_path(s.dir);
        EXPECT_EQ(lookup("rel::."), "<not found>");
        fs::current_path(cwd);
    }

    ScopedEnv p("PATH", bin2.string());
    PosixRegistry registry;
    RegKey key = 0;
    EXPECT_EQ(registry.openKey(reg::kLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", 0, 0x2003F, key),
              reg::kAccessDenied)
        << "read-only: write rights are refused";
    EXPECT_EQ(registry.openKey(reg::kLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location", 0, reg::kRead, key),
              reg::kFileNotFound);
    ASSERT_EQ(registry.openKey(reg::kLocalMachine, "software\\microsoft\\shared tools\\msinfo", 0, reg::kRead, key),
              reg::kSuccess);
    std::uint8_t data[4] = {};
    std::uint32_t size = sizeof data, type = 0;
    EXPECT_EQ(registry.queryValue(key, "PATH", type, data, size), reg::kMoreData);
    EXPECT_EQ(size, hardinfo.string().size() + 1);
    size = sizeof data;
    EXPECT_EQ(registry.queryValue(key, "OTHER", type, data, size), reg::kFileNotFound);
    EXPECT_EQ(registry.closeKey(key), reg::kSuccess);
    EXPECT_EQ(registry.closeKey(key), reg::kInvalidHandle);
}

TEST(PosixRegistryTest, TheLauncherFindsAndStartsTheInstalledTool) {
    ScratchDir s{"stockkun-about"};
    const fs::path ran = s.dir / "ran";
    const fs::path tool = s.file("bin/hardinfo", "#!/bin/sh\n: > '" + ran.string() + "'\n", true);
    ScopedEnv p("PATH", (s.dir / "bin").string());

    AboutDoubles d;
    PosixPrograms programs;
    PosixRegistry registry;
    FrmAbout about{{d.fakeUi, d.lifetime, d.userName, d.shell, programs, registry, d.messageBox}};
    about.show();
    about.StartSysInfo();
    EXPECT_TRUE(d.messageBox.shown.empty());
    EXPECT_TRUE(eventually([&] { return fs::exists(ran); }));

    fs::remove(tool);
    about.StartSysInfo();
    ASSERT_EQ(d.messageBox.shown.size(), 1u) << "nothing installed: the message";
}

}  // namespace
}  // namespace stock::test
