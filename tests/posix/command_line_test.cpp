// The program's options and the autostart entry, on the real file system.
// The plain answers to --help, --version and mistakes are run end to end;
// here the rules that decide between them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/posix/command_line.h"
#include "support/scratch.h"

namespace stock::test {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    std::optional<int> status;
    std::string out, err;
};

Outcome run(const std::vector<std::string>& args, const CommandLineEnvironment& env = {}) {
    std::ostringstream out, err;
    const auto status = runCommandLine(args, env, out, err);
    return {status, out.str(), err.str()};
}

TEST(CommandLine, MistakesGiveOneLineAndTheUsageOnStandardErrorAndExitTwo) {
    const std::string usage = run({"--help"}).out;
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--", "--help"}, "unexpected argument '--help'"},
        {{"--autostart"}, "--autostart needs 'on' or 'off'"},
        {{"--autostart", "ON"}, "--autostart takes 'on' or 'off', not 'ON'"},
        {{"--help", "--bogus"}, "unknown option '--bogus'"},
    };
    for (const auto& [args, error] : cases) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << error;
        EXPECT_EQ(r.out, "") << error;
        EXPECT_EQ(r.err, "stockkun: " + error + "\n" + usage);
    }
}

TEST(Autostart, FolderFollowsXdgConfigHomeThenHome) {
    EXPECT_EQ(autostartDirectory({"/x/conf", "/home/u", ""}), "/x/conf/autostart");
    // Unset, empty or relative: the default below HOME.
    for (const auto& xdg :
         {std::optional<std::string>(), std::optional<std::string>(""), std::optional<std::string>("conf")})
        EXPECT_EQ(autostartDirectory({xdg, "/home/u/", ""}), "/home/u/.config/autostart");
    EXPECT_FALSE(autostartDirectory({std::nullopt, "relative", ""}));
}

TEST(Autostart, OnWritesTheEntryOffRemovesItAndFailuresExitOne) {
    ScratchDir s;
    const fs::path config = s.dir / "new" / "config";  // not there yet
    const CommandLineEnvironment env{config.string(), std::nullopt, "/opt/stock kun/bin/stockkun"};
    const fs::path entry = config / "autostart" / "stockkun.desktop";
    const Outcome r = run({"--autostart", "on"}, env);
    EXPECT_EQ(r.status, 0) << r.err;
    std::ostringstream body;
    body << std::ifstream(entry).rdbuf();
    EXPECT_NE(body.str().find("\nExec=\"/opt/stock kun/bin/stockkun\"\n"), std::string::npos);
    EXPECT_EQ(fs::status(config).permissions() & fs::perms::all, fs::perms::owner_all) << "folders made are private";
    // Nothing else is left in the folder (no half-written scratch file).
    EXPECT_EQ(std::distance(fs::directory_iterator(entry.parent_path()), fs::directory_iterator()), 1);
    EXPECT_EQ(run({"--autostart", "off"}, env).status, 0);
    EXPECT_FALSE(fs::exists(entry));

    // No folder to be found, a file where the folder should be, a path that a
    // desktop entry cannot hold.
    std::ofstream(s.dir / "file") << "x";
    for (const CommandLineEnvironment& bad : {CommandLineEnvironment{std::nullopt, std::nullopt, "/usr/bin/stockkun"},
                                              {(s.dir / "file").string(), std::nullopt, "/usr/bin/stockkun"},
                                              {s.dir.string(), std::nullopt, "/opt/\x01/stockkun"}}) {
        const Outcome failed = run({"--autostart=on"}, bad);
        EXPECT_EQ(failed.status, 1) << failed.err;
        EXPECT_TRUE(failed.out.empty() && failed.err.starts_with("stockkun: ")) << failed.err;
    }
    EXPECT_FALSE(fs::exists(s.dir / "autostart"));
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
