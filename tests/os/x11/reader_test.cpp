// The reader against a real X server (the tests run under Xvfb) and real
// clipboard owners: xclip, and test_owner for what xclip cannot do.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/text/utf8.h"
#include "os/x11/x11_clipboard_reader.h"
#include "support/x_helpers.h"

namespace stock::x11 {
namespace {

using namespace std::chrono_literals;
using test::Child;
using test::eventually;

// The most memory this process has held so far, in bytes. Under a
// sanitizer, which keeps freed memory and shadows it, 0: no bound is told.
std::size_t peakRss() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return 0;
#endif
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stoul(line.substr(6)) * 1024;
    return 0;
}

// A text limit well above the largest text these tests copy.
constexpr std::uint64_t kTextLimit = 32u << 20;

ClipboardReader::Options readerOptions() {
    ClipboardReader::Options o;
    o.textLimit = kTextLimit;
    return o;
}

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(reader_.usable()) << "needs an X server"; }

    // Starts a clipboard owner and waits for the reader to learn of it: until
    // then the reader rightly still answers for the old owner.
    std::unique_ptr<Child> owner(std::vector<std::string> args) {
        const auto seen = reader_.generation();
        auto child = std::make_unique<Child>(std::move(args));
        EXPECT_TRUE(eventually([&] { return reader_.generation() != seen; }));
        return child;
    }
    std::unique_ptr<Child> xclip(const std::string& bytes, const std::string& target = "UTF8_STRING") {
        return owner(test::xclip(test::tempFile(bytes), target));
    }

    // Reads busy until `done` holds (a hung run fails at the time-out).
    void busyUntil(const std::function<bool()>& done) {
        std::optional<SharedText> last;
        ASSERT_TRUE(eventually([&] {
            last = reader_.readText();
            return last || done();
        }));
        ASSERT_EQ(last, std::nullopt) << "read a text instead of busy";
    }

    void expectEventually(const std::u16string& want, std::chrono::milliseconds limit = 10s) {
        ASSERT_TRUE(eventually([&] { return reader_.readText() == want; }, limit)) << encodeUtf8(want.substr(0, 80));
    }

    ClipboardReader reader_{readerOptions()};
};

// Each owner's text is read exactly, in the type it offers, fetched once and
// shared by every read, not copied; with the owner gone the clipboard reads
// empty. Older programs offer Latin-1 (STRING) or, in a Japanese EUC locale,
// COMPOUND_TEXT alone; xclip sends a large text by INCR.
TEST_F(ReaderTest, TextsAreReadExactlyAndFetchedOnce) {
    std::u16string big;  // 10 MiB
    while (big.size() < (10u << 20)) big += u"すとっくん clipboard line 0123456789 \U0001F600 テキスト\r\n";
    const struct {
        std::string target, bytes;
        std::u16string text;
    } cases[] = {
        {"UTF8_STRING", "first\r\nsecond\r\n\r\n  third\ttab\rlone", u"first\r\nsecond\r\n\r\n  third\ttab\rlone"},
        {"UTF8_STRING", encodeUtf8(big), big},
        {"STRING", "caf\xE9", u"café"},
        {"COMPOUND_TEXT", "\x1b$)B\xA4\xB9\xA4\xC8\xA4\xC3\xA4\xAF\xA4\xF3 \x1b)I\xB1 \x1b-A\xE9", u"すとっくん ｱ é"},
        {"image/png", "\x89PNG", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        const auto before = reader_.transfers();
        const auto o = xclip(c.bytes, c.target);
        expectEventually(c.text, 30s);
        const auto a = reader_.readText(), b = reader_.readText();
        EXPECT_TRUE(c.text.empty() || a->sharesBufferWith(*b)) << "each read copied the text";
        EXPECT_EQ(reader_.transfers(), before + 1) << "an unchanged clipboard was fetched again";
        o->stop();
        expectEventually(u"");
    }
}

TEST_F(ReaderTest, IncrPiecesThatSplitSequencesDecodeAsTheWhole) {
    // Pieces of 7 bytes split kana, emoji and ill-formed sequences; the text
    // ends in a cut-off one.
    std::string bytes;
    for (int i = 0; i < 300; ++i) bytes += "すと\xF0\x9F\x98\x80|\xE3\x81|\xED\xA0\x80|\xC3\xA9\xF0\x9F\x98";
    const auto o = owner({STOCK_TEST_OWNER, "incr", "7", test::tempFile(bytes)});
    expectEventually(decodeUtf8(bytes));
}

// An owner that never answers reads busy (never empty) through the failed
// fetch and its retry, until the next copy.
TEST_F(ReaderTest, HangingOwnerReadsBusyUntilTheNextCopy) {
    const auto first = xclip("before");
    expectEventually(u"before");
    const auto o = owner({STOCK_TEST_OWNER, "hang"});
    // Each failed fetch that a read retries is a change.
    const auto seen = reader_.changeCount();
    busyUntil([&] { return reader_.changeCount() >= seen + 2; });
    const auto second = xclip("copied after");
    expectEventually(u"copied after");
}

TEST_F(ReaderTest, SecretsAreOnlyFetchedForAPasteAndNeverKept) {
    {
        const auto before = reader_.transfers();
        const auto o = owner({STOCK_TEST_OWNER, "hint", "secret", test::tempFile("hunter2")});
        ASSERT_TRUE(eventually([&] {
            const auto read = reader_.read();
            return read && read->secret;
        }));
        EXPECT_EQ(reader_.transfers(), before) << "the secret was fetched for reads";
        EXPECT_EQ(reader_.readTextToPaste(), u"hunter2");
        EXPECT_EQ(reader_.readText(), std::nullopt);
    }
    // The secret's owner is gone (had the reader not seen that yet, its news
    // would pass for the next owner's).
    expectEventually(u"");
    // The hint with another value does not hide the text.
    const auto o = owner({STOCK_TEST_OWNER, "hint", "accepted", test::tempFile("not a secret")});
    EXPECT_EQ(reader_.readTextToPaste(), u"not a secret") << "a paste right after a copy waits for the fetch";
    EXPECT_EQ(reader_.readText(), u"not a secret");
}

// Owners that answer wrongly, endlessly or in pieces of changing types, and
// one that refuses everything: each reads busy, never an empty or altered
// text, and makes the reader hold no more than its bounds; the next plain
// copy is read, while the refuser, having lost the clipboard, makes up
// refusals a thousand times a second. TARGETS as 16-bit atoms is no list,
// but the text is still asked for.
TEST_F(ReaderTest, BrokenEndlessAndRefusingOwnersReadBusyWithinBoundsAndTheNextCopyIsRead) {
    const auto served = owner({STOCK_TEST_OWNER, "targets16", test::tempFile("served\r\n")});
    expectEventually(u"served\r\n");
    // The text limit as UTF-16, twice over for what an allocator (or a
    // sanitizer's quarantine) keeps of freed memory, and the pieces on the
    // way; without the bounds an endless owner pushes gigabytes.
    const std::size_t bound = peakRss() + 4 * kTextLimit + (64u << 20);
    const std::vector<std::vector<std::string>> owners = {
        {"mixed-incr", test::tempFile("AAAABBBBCCCCDDDDEEEEFFFFGGGGHHHH")},
        {"endless", "TARGETS"},
        {"endless", "UTF8_STRING"},
        {"refuse-late", "0"},
    };
    std::unique_ptr<Child> last;
    for (auto args : owners) {
        SCOPED_TRACE(args[0] + " " + args[1]);
        args.insert(args.begin(), STOCK_TEST_OWNER);
        last = owner(args);
        const auto seen = reader_.changeCount();  // then a failed fetch, and the retry that a read starts
        busyUntil([&] {
            EXPECT_LT(peakRss(), bound) << "held more than the bounds allow";
            return reader_.changeCount() >= seen + 2;
        });
    }
    const auto next = xclip("after them");
    expectEventually(u"after them");
}

// A secret stays unread whatever comes between: the previous owner's
// refusal, come late, of a request made before the secret's owner took over;
// refusals made up by that owner at a thousand a second; and the secret's
// owner slow to list its targets.
TEST_F(ReaderTest, LateAndMadeUpRefusalsNeverGetASecretRead) {
    const auto refuser = owner({STOCK_TEST_OWNER, "refuse-late", "1300"});
    const auto before = reader_.transfers();
    const auto keeper = owner({STOCK_TEST_OWNER, "hint", "secret", test::tempFile("hunter2"), "600"});
    ASSERT_TRUE(eventually(
        [&] {
            const auto read = reader_.read();
            EXPECT_FALSE(read && read->text == u"hunter2") << "the secret was read";
            return read && read->secret;
        },
        30s));
    EXPECT_EQ(reader_.transfers(), before) << "the secret was fetched";
    const auto next = xclip("after the secret");
    expectEventually(u"after the secret");
}

// A copy overtaken while its text arrives (2 MiB, by INCR: it may take a
// second more once overtaken) is still what a read finds, as long as the
// newer owner's text is not here.
TEST_F(ReaderTest, AnOvertakenFetchIsStillReadWhileTheNewerOwnerIsNotFetched) {
    std::string big;
    while (big.size() < (2u << 20)) big += "overtaken while on its way \xE3\x81\x99\r\n";
    // Read what is there now, or the copy would wait for that read a moment.
    ASSERT_TRUE(eventually([&] { return reader_.readText().has_value(); }));
    const auto first = xclip(big);
    const auto hung = owner({STOCK_TEST_OWNER, "hang"});
    expectEventually(decodeUtf8(big), 30s);
}

}  // namespace
}  // namespace stock::x11
