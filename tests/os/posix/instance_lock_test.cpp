// The one-instance lock on the real file system: display names, and lock
// names in a shared temporary folder that somebody else took first. One
// instance per display, and killed holders, are run end to end.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "os/posix/instance_lock.h"
#include "support/scratch.h"

namespace stock::test {
namespace {

namespace fs = std::filesystem;

TEST(InstanceLock, NamesOfOneDisplayGiveOneKeyAndOtherDisplaysOthers) {
    const auto key = &PosixInstanceLock::displayKey;
    for (const char* same : {":0.0", ":0.1", "unix:0", "localhost:0.0"}) EXPECT_EQ(key(same), key(":0")) << same;
    const std::string longA(300, 'a');
    for (const auto& [a, b] :
         {std::pair<std::string, std::string>{":10", ":1"}, {"far:0", ":0"}, {longA + ":0", longA + "b:0"}})
        EXPECT_NE(key(a), key(b)) << a;
    // Any name gives a usable file name of at most 64 characters.
    for (const std::string& d :
         {std::string("../../etc/passwd:0"), std::string("a/b:1"), std::string(), longA + ":0"}) {
        const std::string k = key(d);
        EXPECT_TRUE(!k.empty() && k.size() <= 64 && k != "." && k != ".." && k.find('/') == std::string::npos) << d;
    }
}

void makeFolder(const fs::path& dir, mode_t mode, uid_t owner = ::getuid()) {
    ASSERT_EQ(::mkdir(dir.c_str(), mode), 0) << dir;
    ASSERT_EQ(::chmod(dir.c_str(), mode), 0);
    ASSERT_EQ(::chown(dir.c_str(), owner, -1), 0);
}

// A lock on a new FILE, held as another process would hold it (the
// descriptor stays open until the test program ends).
void holdFile(const fs::path& file, mode_t mode, uid_t owner = ::getuid()) {
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, mode);
    ASSERT_GE(fd, 0) << file;
    ASSERT_EQ(::fchmod(fd, mode), 0);
    ASSERT_EQ(::fchown(fd, owner, -1), 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
}

// In a shared folder (sticky, open to all, like /tmp) the lock takes the
// first of a row of names that is the user's own private folder. Names that
// others could have taken, or that are links, are passed over, never believed
// nor followed; as root, also names handed to another user.
TEST(InstanceLock, OnlyPrivateFoldersOfTheUsersOwnHoldTheLock) {
    ::unsetenv("XDG_RUNTIME_DIR");
    const ScratchDir s;
    const fs::path shared = s.dir / "tmp", elsewhere = s.dir / "elsewhere";
    makeFolder(shared, 01777);
    makeFolder(elsewhere, 0700);
    const std::string base = "stockkun-" + std::to_string(::getuid());
    const auto folder = [&](int i) { return shared / (i ? base + "." + std::to_string(i) : base); };
    const auto lock = [&](const std::string& display) { return std::make_unique<PosixInstanceLock>(display, shared); };
    int free = 4;                 // the first name nobody took
    makeFolder(folder(0), 0777);  // open to everybody
    holdFile(folder(0) / "5.lock", 0600);
    makeFolder(folder(1), 0700);
    holdFile(folder(1) / "5.lock", 0666);  // others may write the lock file
    fs::create_directory_symlink(elsewhere, folder(2));
    makeFolder(folder(3), 0700);
    fs::create_symlink(elsewhere / "planted", folder(3) / "5.lock");
    if (::geteuid() == 0) {
        const uid_t other = 62999;  // no account needed: the kernel only compares numbers
        makeFolder(folder(4), 0700, other);
        makeFolder(folder(5), 0700);
        holdFile(folder(5) / "5.lock", 0600, other);
        free = 6;
    }

    const mode_t saved = ::umask(0277);
    auto first = lock(":5");
    const bool running = first->anotherInstanceRunning();
    ::umask(saved);
    EXPECT_FALSE(running) << "a name taken by others stopped the start";
    EXPECT_EQ(first->path(), (folder(free) / "5.lock").string());
    struct stat st {};
    ASSERT_EQ(::stat(folder(free).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode, S_IFDIR | 0700) << "whatever the umask";
    EXPECT_TRUE(fs::is_empty(elsewhere)) << "nothing was made through a link";

    EXPECT_TRUE(lock(":5.0")->anotherInstanceRunning());
    // The first name freed again: a second start takes it, and still sees the first.
    fs::remove_all(folder(0));
    EXPECT_TRUE(lock(":5")->anotherInstanceRunning());
    first.reset();
    EXPECT_FALSE(lock(":5")->anotherInstanceRunning()) << "the lock goes with its holder";
}

}  // namespace
}  // namespace stock::test
