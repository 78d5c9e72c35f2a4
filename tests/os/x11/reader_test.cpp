// The reader against a real X server (the tests run under Xvfb) and real
// clipboard owners: xclip, and test_owner for what xclip cannot do.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/text/utf8.h"
#include "os/x11/x11_clipboard_reader.h"
#include "support/child.h"
#include "support/scratch.h"

namespace stock::x11 {
namespace {

using namespace std::chrono_literals;
using test::Child;
using test::eventually;
using test::tempFile;

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
        return owner({"xclip", "-quiet", "-selection", "clipboard", "-target", target, "-in", tempFile(bytes)});
    }

    void expectEventually(const std::u16string& want, std::chrono::milliseconds limit = 10s) {
        ASSERT_TRUE(eventually([&] { return reader_.readText() == want; }, limit)) << encodeUtf8(want.substr(0, 80));
    }

    ClipboardReader reader_;
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

// A copy overtaken while its text arrives (2 MiB, by INCR: it may take a
// second more once overtaken) is still what a read finds while the newer
// owner's text is not here. That owner never answers: once the overtaken
// text was read, it reads busy (never empty) through the failed fetch and its
// retry, until the next copy.
TEST_F(ReaderTest, AnOvertakenFetchIsStillReadAndAHangingOwnerReadsBusyUntilTheNextCopy) {
    std::string big;
    while (big.size() < (2u << 20)) big += "overtaken while on its way \xE3\x81\x99\r\n";
    // Read what is there now, or the copy would wait for that read a moment.
    ASSERT_TRUE(eventually([&] { return reader_.readText().has_value(); }));
    const auto first = xclip(big);
    const auto hung = owner({STOCK_TEST_OWNER, "hang"});
    const auto text = decodeUtf8(big);
    expectEventually(text, 30s);
    ASSERT_TRUE(eventually([&] {
        const auto read = reader_.readText();
        EXPECT_TRUE(!read || *read == text) << "read an empty or another text";
        return !read;
    }));
    // Each failed fetch that a read retries is a change.
    const auto seen = reader_.changeCount();
    std::optional<SharedText> last;
    ASSERT_TRUE(eventually([&] {
        last = reader_.readText();
        return last || reader_.changeCount() >= seen + 2;
    }));
    ASSERT_EQ(last, std::nullopt) << "read a text instead of busy";
    const auto second = xclip("copied after");
    expectEventually(u"copied after");
}

TEST_F(ReaderTest, SecretsAreOnlyFetchedForAPasteAndNeverKept) {
    {
        const auto before = reader_.transfers();
        const auto o = owner({STOCK_TEST_OWNER, "hint", "secret", tempFile("hunter2")});
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
    const auto o = owner({STOCK_TEST_OWNER, "hint", "accepted", tempFile("not a secret")});
    EXPECT_EQ(reader_.readTextToPaste(), u"not a secret") << "a paste right after a copy waits for the fetch";
    EXPECT_EQ(reader_.readText(), u"not a secret");
}

// A secret stays unread whatever comes between: the previous owner's
// refusal, come late, of a request made before the secret's owner took over;
// refusals made up by that owner at a thousand a second; and the secret's
// owner slow to list its targets.
TEST_F(ReaderTest, LateAndMadeUpRefusalsNeverGetASecretRead) {
    const auto refuser = owner({STOCK_TEST_OWNER, "refuse-late", "1300"});
    const auto before = reader_.transfers();
    const auto keeper = owner({STOCK_TEST_OWNER, "hint", "secret", tempFile("hunter2"), "600"});
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

}  // namespace
}  // namespace stock::x11
