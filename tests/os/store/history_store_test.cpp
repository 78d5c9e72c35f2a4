// The kept history on the real SQLite, in scratch folders: what it keeps,
// how much, and what becomes of it when the program is killed, the disk
// fills, the folder turns read-only or the file is not a store of ours.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <set>

#include "os/store/sqlite_history_store.h"
#include "store_ops.h"
#include "support/child.h"

namespace stock::store {
namespace {

using namespace std::chrono_literals;
using test::eventually;

class HistoryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        place = {(scratch.dir / "state" / "stockkun").string(),
                 (scratch.dir / "state/stockkun/history.sqlite3").string()};
    }
    std::unique_ptr<SqliteHistoryStore> start(Bounds bounds = {}) {
        auto store = std::make_unique<SqliteHistoryStore>(place.file, SqliteHistoryStore::Options{bounds, 20ms});
        store->flush();
        return store;
    }
    // What a new start of the program is handed.
    std::vector<std::u16string> reload() {
        auto store = start();
        std::vector<std::u16string> texts;
        for (const SharedText& t : store->poll().loaded) texts.push_back(t.str());
        return texts;
    }
    bool fileHolds(const std::u16string& text) {
        std::ifstream file(place.file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), {});
        return bytes.find(std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2)) !=
               std::string::npos;
    }
    void on() {
        std::string why;
        ASSERT_TRUE(turnOn(place, why)) << why;
    }
    test::ScratchDir scratch;
    StorePlace place;
};

TEST_F(HistoryStoreTest, KeepsEveryTextExactlyNewestFirstInAPrivateFile) {
    on();
    struct stat st {};
    ASSERT_EQ(::stat(place.folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(place.file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const std::vector<std::u16string> texts = {
        u"a\r\nb",     u"lone\rcr", u"para\u2029graph", std::u16string(u"nul\0in", 6),   u"\xD800 high",
        u"low \xDC00", u"\t tab\t", u"\U0001F600",      std::u16string(50u << 20, u'x'),
    };
    {
        auto store = start();
        for (const auto& t : texts) store->append(t);
        store->flush();
    }
    const auto back = reload();
    ASSERT_EQ(back.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_TRUE(back[i] == texts[texts.size() - 1 - i]) << i;
}

TEST_F(HistoryStoreTest, DropsTheOldestPastItsBoundsAndClearsForGood) {
    on();
    {
        auto store = start({5, 1000});
        for (int i = 0; i < 8; ++i) store->append(std::u16string(10, static_cast<char16_t>(u'0' + i)));
        store->flush();
    }
    EXPECT_EQ(reload(),
              (std::vector<std::u16string>{u"7777777777", u"6666666666", u"5555555555", u"4444444444", u"3333333333"}));
    {
        auto store = start({5, 60});  // 30 units: three of them
        store->append(u"8888888888");
        store->flush();
    }
    EXPECT_EQ(reload().size(), 3u);
    // Many rows, then the file stays close to the text it holds.
    const std::u16string secret = u"hunter2-the-cleared-text";
    {
        auto store = start();
        std::vector<SharedText> many;
        for (int i = 0; i < 20000; ++i)
            many.emplace_back(secret + std::u16string(40, u'.') + std::u16string(1, u'a' + i % 26));
        store->appendAll(many);
        store->flush();
        const auto fileSize = std::filesystem::file_size(place.file);
        EXPECT_LT(fileSize, 20000 * 65 * 2 * 5 / 4) << fileSize;
        store->clear();
        store->append(secret);
        store->flush();
        store->clear();
        store->flush();
    }
    EXPECT_TRUE(reload().empty());
    EXPECT_FALSE(fileHolds(secret)) << "a cleared text is still in the file";
    EXPECT_LT(std::filesystem::file_size(place.file), 64u << 10);
}

TEST_F(HistoryStoreTest, AKilledWriterLeavesWhatItFinishedInOrder) {
    on();
    std::mt19937 random(12345);
    std::set<int> seen;
    for (int run = 0; run < 50; ++run) {
        {
            auto store = start();
            store->clear();
            store->flush();
        }
        const std::string out = (scratch.dir / "child.out").string();
        test::Child child({STOCK_STORE_CHILD, place.file}, "/dev/null", out);
        ASSERT_TRUE(eventually([&] {
            std::ifstream f(out);
            std::string line;
            return std::getline(f, line) && line == "ready";
        }));
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 400));  // a random moment of its writes
        ::kill(child.pid, SIGKILL);
        child.wait();
        std::vector<int> held;
        for (const auto& text : reload()) held.push_back(test::opOf(text));
        int prefix = -1;
        for (int k = test::kOps; k >= 0 && prefix < 0; --k)
            if (held == test::heldAfter(k)) prefix = k;
        ASSERT_GE(prefix, 0) << "run " << run << ": " << held.size()
                             << " rows, not what any prefix of the writes leaves";
        seen.insert(prefix);
    }
    EXPECT_GT(seen.size(), 5u) << "the kills all landed at the same few places";
}

TEST_F(HistoryStoreTest, AFileThatIsNoStoreIsMovedAsideAndANewOneBegun) {
    std::filesystem::create_directories(place.folder);
    std::filesystem::permissions(place.folder, std::filesystem::perms::owner_all);
    const std::string bodies[] = {"not a database at all, but someone's notes",
                                  std::string("SQLite format 3\0", 16) + std::string(4080, '\x7f')};
    for (const std::string& body : bodies) {
        scratch.file("state/stockkun/history.sqlite3", body);
        ::chmod(place.file.c_str(), 0600);
        {
            testing::internal::CaptureStderr();
            auto store = start();
            const std::string said = testing::internal::GetCapturedStderr();
            EXPECT_NE(said.find("moved to"), std::string::npos) << said;
            EXPECT_TRUE(store->poll().loaded.empty());
            store->append(u"after");
            store->flush();
        }
        EXPECT_EQ(reload(), std::vector<std::u16string>{u"after"});
        std::filesystem::remove(place.file);
    }
    int aside = 0;
    for (const auto& e : std::filesystem::directory_iterator(place.folder))
        aside += e.path().filename().string().starts_with("history.sqlite3.broken-");
    EXPECT_EQ(aside, 2);
}

TEST_F(HistoryStoreTest, AStoreOfANewerVersionIsLeftAsItIs) {
    on();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(place.file.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "INSERT INTO entry(text) VALUES (x'6100'); PRAGMA user_version = 2", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const auto before = std::filesystem::last_write_time(place.file);
    const auto size = std::filesystem::file_size(place.file);
    testing::internal::CaptureStderr();
    {
        auto store = start();
        EXPECT_TRUE(store->poll().loaded.empty());
        store->append(u"new");
        store->flush();
    }
    EXPECT_NE(testing::internal::GetCapturedStderr().find("newer"), std::string::npos);
    EXPECT_EQ(std::filesystem::last_write_time(place.file), before);
    EXPECT_EQ(std::filesystem::file_size(place.file), size);
}

TEST_F(HistoryStoreTest, TwoInstancesShareOneStore) {
    on();
    testing::internal::CaptureStderr();
    {
        auto first = start();
        auto second = start();
        std::thread other([&] {
            for (int i = 0; i < 200; ++i) second->append(u"second");
        });
        for (int i = 0; i < 200; ++i) first->append(u"first");
        other.join();
        first->flush();
        second->flush();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "one waited for the other's writes";
    const auto back = reload();
    EXPECT_EQ(std::count(back.begin(), back.end(), u"first"), 200);
    EXPECT_EQ(std::count(back.begin(), back.end(), u"second"), 200);
}

TEST_F(HistoryStoreTest, FollowsOffAndOnWhileRunning) {
    auto store = start();
    store->append(u"not kept");
    store->flush();
    EXPECT_FALSE(std::filesystem::exists(place.file));
    on();
    ASSERT_TRUE(eventually([&] { return store->poll().wantsAll; }));
    store->appendAll({u"held 1", u"held 2"});
    store->flush();
    EXPECT_EQ(reload(), (std::vector<std::u16string>{u"held 2", u"held 1"}));
    std::string why;
    ASSERT_TRUE(turnOff(place, why)) << why;
    store->append(u"after off");
    store->flush();
    EXPECT_FALSE(std::filesystem::exists(place.file));
    EXPECT_FALSE(std::filesystem::exists(place.file + "-journal"));
}

// A small tmpfs: full, then read-only; the texts wait in memory meanwhile
// and reach the file once it can take them.
TEST_F(HistoryStoreTest, AFullOrReadOnlyDiskDelaysWritesAndLosesNone) {
    const std::string mount = (scratch.dir / "state").string();
    std::filesystem::create_directories(mount);
    if (::geteuid() != 0 || ::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=4m,mode=0700") != 0)
        GTEST_SKIP() << "mounting a tmpfs needs root";
    struct Unmount {
        std::string at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{mount};
    on();
    const std::string filler = mount + "/filler";
    std::ofstream(filler) << std::string(3u << 20, 'f');
    auto store = start();
    testing::internal::CaptureStderr();
    store->append(std::u16string(1u << 20, u'b'));  // 2 MiB: more than is left
    store->append(u"small, after it");
    store->flush();
    std::filesystem::remove(filler);
    // The folder read-only (a read-only bind mount over it: the store's open
    // file stays writable, a new journal cannot be made).
    ASSERT_EQ(::mount(place.folder.c_str(), place.folder.c_str(), nullptr, MS_BIND, nullptr), 0);
    ASSERT_EQ(::mount(nullptr, place.folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);
    store->append(u"while read-only");
    store->flush();
    ASSERT_EQ(::umount(place.folder.c_str()), 0);
    ASSERT_TRUE(eventually([&] { return reload().size() == 3; }));
    const std::string said = testing::internal::GetCapturedStderr();
    // Once for the full disk, and at most once more if the writer got
    // through between the two.
    const auto lines = std::count(said.begin(), said.end(), '\n');
    EXPECT_TRUE(lines == 1 || lines == 2) << said;
    EXPECT_EQ(reload()[0], u"while read-only");
}

}  // namespace
}  // namespace stock::store
