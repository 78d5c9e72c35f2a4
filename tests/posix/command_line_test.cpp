// The program's options and the autostart entry, on the real file system.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "about/frm_about_layout.h"
#include "platform/posix/command_line.h"
#include "support/scratch.h"

namespace stock::test {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Outcome {
    std::optional<int> status;
    std::string out, err;
};

Outcome run(std::vector<std::string> args, const CommandLineEnvironment& env = {}) {
    std::ostringstream out, err;
    Outcome r;
    r.status = runCommandLine(args, env, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

// The usage as --help prints it: the yardstick for the error output.
std::string usage() { return run({"--help"}).out; }

// The plain answers to --help, --version and mistakes are run end to end;
// here the rules that decide between them.
TEST(CommandLine, NoArgumentsStartTheProgramAndHelpWinsWhateverTheOrder) {
    const Outcome none = run({});
    EXPECT_FALSE(none.status);
    EXPECT_EQ(none.out + none.err, "");
    EXPECT_EQ(run({"-h"}).out, usage());
    EXPECT_EQ(run({"--version", "--help"}).out, usage());
    EXPECT_EQ(run({"--autostart", "on", "--help"}).out, usage());
}

// The About window's caption "Ver 0.14  2001/01/24" and the version the build
// gives to packages and --version are the same number.
TEST(CommandLine, VersionIsTheOneInTheAboutWindow) {
    std::u16string caption;
    for (const auto& c : frmAboutLayout().controls)
        if (c.name == "lblVersion") caption = c.caption;
    const std::string v = programVersion();
    ASSERT_FALSE(v.empty());
    const std::u16string expected = u"Ver " + std::u16string(v.begin(), v.end()) + u"  ";
    EXPECT_TRUE(caption.starts_with(expected));
}

TEST(CommandLine, MistakesGiveOneLineAndTheUsageOnStandardErrorAndExitTwo) {
    const struct {
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {{"--helpme"}, "stockkun: unknown option '--helpme'\n"},
        {{"--", "--help"}, "stockkun: unexpected argument '--help'\n"},
        {{"--autostart"}, "stockkun: --autostart needs 'on' or 'off'\n"},
        {{"--autostart="}, "stockkun: --autostart takes 'on' or 'off', not ''\n"},
        {{"--autostart", "ON"}, "stockkun: --autostart takes 'on' or 'off', not 'ON'\n"},
        {{"--help", "--bogus"}, "stockkun: unknown option '--bogus'\n"},
    };
    for (const auto& c : cases) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, 2) << c.error;
        EXPECT_EQ(r.out, "") << c.error;
        EXPECT_EQ(r.err, c.error + usage()) << c.error;
    }
}

TEST(CommandLine, AFailedWriteToStandardOutputIsNoSuccess) {
    std::ostringstream out, err;
    out.setstate(std::ios::badbit);
    EXPECT_EQ(runCommandLine({"--version"}, {}, out, err), 1);
    EXPECT_NE(err.str().find("cannot write"), std::string::npos);
}

TEST(Autostart, FolderFollowsXdgConfigHomeThenHome) {
    EXPECT_EQ(autostartDirectory({"/x/conf", "/home/u", ""}), "/x/conf/autostart");
    // Unset, empty or relative: the default below HOME.
    EXPECT_EQ(autostartDirectory({std::nullopt, "/home/u", ""}), "/home/u/.config/autostart");
    EXPECT_EQ(autostartDirectory({"", "/home/u/", ""}), "/home/u/.config/autostart");
    EXPECT_EQ(autostartDirectory({"conf", "/home/u", ""}), "/home/u/.config/autostart");
    EXPECT_FALSE(autostartDirectory({std::nullopt, std::nullopt, ""}));
    EXPECT_FALSE(autostartDirectory({"relative", "", ""}));
}

TEST(Autostart, OnWritesTheEntryOffRemovesIt) {
    ScratchDir s{"stockkun-options"};
    const fs::path config = s.dir / "new" / "config";  // not there yet
    const CommandLineEnvironment env{config.string(), "/nonexistent", "/opt/stock kun/bin/stockkun"};
    const fs::path entry = config / "autostart" / "stockkun.desktop";

    // The messages and a valid entry for the built program are checked end to
    // end; here a path with a space, the modes and what is left behind.
    Outcome r = run({"--autostart", "on"}, env);
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_TRUE(fs::exists(entry));
    EXPECT_NE(readFile(entry).find("\nExec=\"/opt/stock kun/bin/stockkun\"\n"), std::string::npos);
    EXPECT_EQ(fs::status(entry).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    // Folders that it had to make are the user's own.
    EXPECT_EQ(fs::status(config).permissions() & fs::perms::all, fs::perms::owner_all);
    // Nothing else is left in the folder (no half-written scratch file).
    EXPECT_EQ(std::distance(fs::directory_iterator(entry.parent_path()), fs::directory_iterator()), 1);

    EXPECT_EQ(run({"--autostart", "off"}, env).status, 0);
    EXPECT_FALSE(fs::exists(entry));

    r = run({"--autostart", "off"}, env);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Autostart off: there was no " + entry.string() + "; nothing removed.\n");
}

TEST(Autostart, FailuresAreReportedAndExitOne) {
    ScratchDir s{"stockkun-options"};
    Outcome r = run({"--autostart", "on"}, {std::nullopt, std::nullopt, "/usr/bin/stockkun"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("neither XDG_CONFIG_HOME nor HOME"), std::string::npos);

    // A file where the folder should be.
    std::ofstream(s.dir / "file") << "x";
    r = run({"--autostart=on"}, {(s.dir / "file").string(), std::nullopt, "/usr/bin/stockkun"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.starts_with("stockkun: cannot write " + (s.dir / "file" / "autostart").string()));
    EXPECT_EQ(r.out, "");

    // A folder that cannot be written (root can write anywhere: skip that part).
    if (::geteuid() != 0) {
        fs::create_directories(s.dir / "ro" / "autostart");
        fs::permissions(s.dir / "ro" / "autostart", fs::perms::owner_read | fs::perms::owner_exec);
        r = run({"--autostart", "on"}, {(s.dir / "ro").string(), std::nullopt, "/usr/bin/stockkun"});
        EXPECT_EQ(r.status, 1);
        fs::permissions(s.dir / "ro" / "autostart", fs::perms::owner_all);
    }

    // A path that a desktop entry cannot hold.
    r = run({"--autostart", "on"}, {s.dir.string(), std::nullopt, std::string("/opt/\x01/stockkun")});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(s.dir / "autostart" / "stockkun.desktop"));
}

TEST(Autostart, ExecArgumentIsQuotedAndEscapedAsDesktopEntriesRequire) {
    // Quoting escapes " ` $ \ with a backslash; the string value then doubles
    // every backslash. A per cent sign would start a field code.
    const std::pair<std::string, std::string> cases[] = {
        {"/home/ユーザー/bin/stockkun", "/home/ユーザー/bin/stockkun"},
        {"/a b/stockkun", "\"/a b/stockkun\""},
        {"/a\"b", R"("/a\\"b")"},
        {"/a$b", R"("/a\\$b")"},
        {"/a\\b", R"("/a\\\\b")"},
        {"/a\nb", "\"/a\\nb\""},
        {"/100%/stockkun", "/100%%/stockkun"},
    };
    for (const auto& [path, arg] : cases) EXPECT_EQ(desktopExecArgument(path), arg) << path;
    for (const char* bad : {"/a\x7f", "/bad\xff\xfe", "/half\xe3\x81", "/overlong\xc0\xaf"})
        EXPECT_FALSE(desktopExecArgument(bad)) << bad;
}

}  // namespace
}  // namespace stock::test
