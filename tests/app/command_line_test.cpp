// The autostart entry, on the real file system. The options' answers, and an
// entry that starts the built program, are run end to end.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/command_line.h"
#include "support/scratch.h"

namespace stock::test {
namespace {

namespace fs = std::filesystem;

// `--autostart on` with ENV: its exit status, and what it printed.
std::pair<std::optional<int>, std::string> autostartOn(const CommandLineEnvironment& env) {
    std::ostringstream out, err;
    const auto status = runCommandLine({"--autostart", "on"}, env, out, err);
    return {status, out.str() + err.str()};
}

TEST(Autostart, FolderFollowsXdgConfigHomeThenHome) {
    EXPECT_EQ(autostartDirectory({"/x/conf", "/home/u", ""}), "/x/conf/autostart");
    // Unset, empty or relative: the default below HOME.
    for (const auto& xdg :
         {std::optional<std::string>(), std::optional<std::string>(""), std::optional<std::string>("conf")})
        EXPECT_EQ(autostartDirectory({xdg, "/home/u/", ""}), "/home/u/.config/autostart");
    EXPECT_FALSE(autostartDirectory({std::nullopt, "relative", ""}));
}

// The folders it makes are private, and no half-written file is left; what
// it cannot do exits 1 with a message and leaves nothing behind.
TEST(Autostart, OnWritesTheEntryWholeOrNotAtAll) {
    ScratchDir s;
    const fs::path config = s.dir / "new" / "config";  // not there yet
    EXPECT_EQ(autostartOn({config.string(), std::nullopt, "/usr/bin/stockkun"}).first, 0);
    EXPECT_EQ(fs::status(config).permissions() & fs::perms::all, fs::perms::owner_all);
    const auto entries = fs::directory_iterator(config / "autostart");
    EXPECT_EQ(std::distance(fs::begin(entries), fs::end(entries)), 1);

    // No folder to be found, a file where the folder should be, a path that a
    // desktop entry cannot hold.
    std::ofstream(s.dir / "file") << "x";
    for (const CommandLineEnvironment& bad : {CommandLineEnvironment{std::nullopt, std::nullopt, "/usr/bin/stockkun"},
                                              {(s.dir / "file").string(), std::nullopt, "/usr/bin/stockkun"},
                                              {s.dir.string(), std::nullopt, "/opt/\x01/stockkun"}}) {
        const auto [status, said] = autostartOn(bad);
        EXPECT_EQ(status, 1) << said;
        EXPECT_TRUE(said.starts_with("stockkun: ")) << said;
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

// --keep-history makes its store private where XDG_STATE_HOME (or HOME)
// says, and off removes it; what it cannot do exits 1 with a message.
TEST(KeepHistory, OnMakesAPrivateStoreThatOffRemoves) {
    ScratchDir s;
    const auto run = [](const char* value) {
        std::ostringstream out, err;
        const auto status = runCommandLine({"--keep-history", value}, {}, out, err);
        return std::pair(status, out.str() + err.str());
    };
    ::setenv("XDG_STATE_HOME", "relative", 1);
    ::setenv("HOME", s.dir.c_str(), 1);
    const fs::path store = s.dir / ".local/state/stockkun/history.sqlite3";
    EXPECT_EQ(run("on").first, 0);
    EXPECT_EQ(fs::status(store.parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(store).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(run("on").first, 0) << "on twice keeps the store";
    EXPECT_EQ(run("off").first, 0);
    EXPECT_TRUE(fs::is_empty(store.parent_path()));
    EXPECT_NE(run("off").second.find("nothing removed"), std::string::npos);

    std::ofstream(s.dir / "file") << "x";
    ::setenv("XDG_STATE_HOME", (s.dir / "file").c_str(), 1);
    const auto [status, said] = run("on");
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(said.starts_with("stockkun: cannot make ")) << said;
    ::unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace stock::test
