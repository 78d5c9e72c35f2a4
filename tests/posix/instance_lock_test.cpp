// The one-instance lock on the real file system: display names, the user's
// own starts, and lock names that somebody else took first. Killed holders
// and squatters in /tmp are run end to end.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/posix/instance_lock.h"
#include "support/scratch.h"

namespace stock::test {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kOtherUid = 62999;  // no account needed: the kernel only compares numbers

// A scratch folder standing in for /tmp (sticky, open to all), and one
// standing in for the user's runtime folder; XDG_RUNTIME_DIR unset for the
// test. Everything is removed afterwards.
class InstanceLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        shared_ = root_ / "tmp";
        fs::create_directory(shared_);
        ::chmod(shared_.c_str(), 01777);
    }
    void TearDown() override {
        for (int fd : held_) ::close(fd);
    }

    std::unique_ptr<PosixInstanceLock> lock(const std::string& display = ":5") {
        return std::make_unique<PosixInstanceLock>(display, shared_.string());
    }
    std::string uid() const { return std::to_string(::getuid()); }
    fs::path folder(int i = 0) const {
        return shared_ / ("stockkun-" + uid() + (i ? "." + std::to_string(i) : std::string()));
    }
    // Creates FILE with MODE (and OWNER, as root) and holds a lock on it
    // from a descriptor of the test's own, as another process would.
    void holdFile(const fs::path& file, mode_t mode, std::optional<uid_t> owner = std::nullopt) {
        const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, mode);
        ASSERT_GE(fd, 0) << file;
        ::fchmod(fd, mode);
        if (owner) {
            ASSERT_EQ(::fchown(fd, *owner, *owner), 0);
        }
        ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
        held_.push_back(fd);
    }
    void makeFolder(const fs::path& dir, mode_t mode, std::optional<uid_t> owner = std::nullopt) {
        ASSERT_EQ(::mkdir(dir.c_str(), mode), 0) << dir;
        ::chmod(dir.c_str(), mode);
        if (owner) {
            ASSERT_EQ(::chown(dir.c_str(), *owner, *owner), 0);
        }
    }
    static mode_t modeOf(const fs::path& p) {
        struct stat st {};
        return ::lstat(p.c_str(), &st) == 0 ? st.st_mode : 0;
    }

    ScratchDir scratch_{"stockkun-lock-test"};
    ScopedEnv runtime_{"XDG_RUNTIME_DIR", std::nullopt};
    const fs::path root_ = scratch_.dir;
    fs::path shared_;
    std::vector<int> held_;
};

TEST(InstanceLockDisplayKey, NamesOfOneDisplayGiveOneKeyAndOtherDisplaysOthers) {
    const std::string zero = PosixInstanceLock::displayKey(":0");
    for (const char* same : {":0.0", ":0.1", "unix:0", "unix:0.0", "localhost:0"})
        EXPECT_EQ(PosixInstanceLock::displayKey(same), zero) << same;
    EXPECT_NE(PosixInstanceLock::displayKey(":10"), PosixInstanceLock::displayKey(":1"));
    EXPECT_NE(PosixInstanceLock::displayKey("far:0"), zero) << "another host's display 0";
    for (const std::string d : {"../../etc/passwd:0", "a/b:1", ""}) {
        const std::string key = PosixInstanceLock::displayKey(d);
        EXPECT_FALSE(key.empty() || key == "." || key == ".." || key.find('/') != std::string::npos) << d;
    }
    const std::string longA(300, 'a'), longB = longA + "b";
    EXPECT_LE(PosixInstanceLock::displayKey(longA + ":0").size(), 64u);
    EXPECT_NE(PosixInstanceLock::displayKey(longA + ":0"), PosixInstanceLock::displayKey(longB + ":0"));
}

TEST_F(InstanceLockTest, OneInstancePerUserAndDisplayInAPrivateFolderWhateverTheUmask) {
    const mode_t saved = ::umask(0277);
    auto first = lock(":5");
    const bool running = first->anotherInstanceRunning();
    ::umask(saved);
    EXPECT_FALSE(running);
    EXPECT_EQ(fs::path(first->path()).parent_path(), folder());
    EXPECT_EQ(modeOf(folder()) & 07777, 0700u);
    EXPECT_TRUE(S_ISDIR(modeOf(folder())));
    EXPECT_EQ(modeOf(first->path()) & 077, 0u) << "nobody else may write the lock";
    EXPECT_FALSE(first->anotherInstanceRunning()) << "asking again keeps the own lock";

    EXPECT_TRUE(lock(":5.0")->anotherInstanceRunning());
    EXPECT_FALSE(lock(":6")->anotherInstanceRunning()) << "another display";

    first.reset();
    EXPECT_FALSE(lock(":5")->anotherInstanceRunning()) << "the lock goes with its holder";
}

TEST_F(InstanceLockTest, TheRuntimeFolderIsUsedOnlyWhenNobodyElseMayEnterIt) {
    const fs::path runtime = root_ / "run";
    makeFolder(runtime, 0700);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    auto first = lock();
    EXPECT_FALSE(first->anotherInstanceRunning());
    EXPECT_EQ(fs::path(first->path()).parent_path(), runtime);
    EXPECT_TRUE(lock()->anotherInstanceRunning());
    first.reset();

    ::chmod(runtime.c_str(), 0777);
    auto open = lock();
    EXPECT_FALSE(open->anotherInstanceRunning());
    EXPECT_EQ(fs::path(open->path()).parent_path(), folder()) << "a runtime folder open to others is passed over";
}

TEST_F(InstanceLockTest, NamesOthersCouldHaveTakenAndLinksAreNeverBelievedNorFollowed) {
    // The user's own folder open to everybody, with a held lock inside; a
    // private folder whose held lock file others may write; a link to a
    // folder elsewhere; a private folder whose lock name is such a link.
    makeFolder(folder(0), 0777);
    holdFile(folder(0) / "5.lock", 0600);
    makeFolder(folder(1), 0700);
    holdFile(folder(1) / "5.lock", 0666);
    const fs::path elsewhere = root_ / "elsewhere";
    makeFolder(elsewhere, 0700);
    fs::create_directory_symlink(elsewhere, folder(2));
    makeFolder(folder(3), 0700);
    fs::create_symlink(elsewhere / "planted", folder(3) / "5.lock");

    auto first = lock();
    EXPECT_FALSE(first->anotherInstanceRunning()) << "a lock others could have taken counts as nobody's";
    EXPECT_EQ(fs::path(first->path()).parent_path(), folder(4));
    EXPECT_TRUE(fs::is_empty(elsewhere)) << "nothing was made through a link";
    EXPECT_TRUE(lock()->anotherInstanceRunning()) << "one instance all the same";
}

TEST_F(InstanceLockTest, StartsSeeEachOtherWhenAnEarlierNameIsFreedMeanwhile) {
    makeFolder(folder(0), 0777);  // taken first by somebody
    auto first = lock();
    EXPECT_FALSE(first->anotherInstanceRunning());
    EXPECT_EQ(fs::path(first->path()).parent_path(), folder(1));

    fs::remove_all(folder(0));  // and let go again
    auto second = lock();
    EXPECT_TRUE(second->anotherInstanceRunning()) << "the second start took the freed name and missed the first";
    EXPECT_TRUE(second->path().empty());
}

// Names squatted open to all by another user are run end to end; here a
// folder private to the other user, and a lock file of the user's own folder
// handed to the other user.
TEST_F(InstanceLockTest, NamesHeldByAnotherUserDoNotStopTheStart) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving files to another user needs root";
    makeFolder(folder(0), 0700, kOtherUid);
    makeFolder(folder(1), 0700);
    holdFile(folder(1) / "5.lock", 0600, kOtherUid);

    auto first = lock();
    EXPECT_FALSE(first->anotherInstanceRunning()) << "the squatter stopped the start";
    EXPECT_EQ(fs::path(first->path()).parent_path(), folder(2));
    EXPECT_TRUE(lock()->anotherInstanceRunning()) << "one instance all the same";
}

}  // namespace
}  // namespace stock::test
