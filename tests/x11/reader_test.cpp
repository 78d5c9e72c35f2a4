// The reader against a real X server (the tests run under Xvfb) and real
// clipboard owners: xclip, and test_owner for owners that misbehave.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/utf8.h"
#include "platform/x11/x11_clipboard_reader.h"
#include "x11/x_helpers.h"

namespace stock::x11 {
namespace {

using namespace std::chrono_literals;
using test::Child;
using test::eventually;

const std::string kOwnerTool = STOCK_TEST_OWNER;

// A client of the test's own that clears the clipboard (and keeps the X
// server from resetting). The program's own writes, which the reader takes
// without asking the server, are tested through X11Clipboard.
class TestClient {
public:
    TestClient() {
        c_ = test::retryConnect([] {
            xcb_connection_t* c = xcb_connect(nullptr, nullptr);
            if (!xcb_connection_has_error(c)) return std::pair{c, true};
            xcb_disconnect(c);
            return std::pair{static_cast<xcb_connection_t*>(nullptr), false};
        });
        if (!c_) throw std::runtime_error("no X display");
        auto* r = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, 9, "CLIPBOARD"), nullptr);
        clipboard_ = r->atom;
        std::free(r);
    }
    ~TestClient() { xcb_disconnect(c_); }
    void clear() {
        xcb_set_selection_owner(c_, XCB_NONE, clipboard_, XCB_CURRENT_TIME);
        std::free(xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, clipboard_), nullptr));
    }

private:
    xcb_connection_t* c_;
    xcb_atom_t clipboard_;
};

std::string show(const std::optional<SharedText>& t) { return t ? encodeUtf8(t->str()) : "busy"; }

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server";
        client_ = std::make_unique<TestClient>();  // also keeps the server from resetting
        client_->clear();
        reader_ = test::retryConnect([] {
            auto r = std::make_unique<ClipboardReader>();
            const bool ok = r->usable();
            return std::pair{std::move(r), ok};
        });
        ASSERT_TRUE(reader_->usable());
    }

    // Starts a test_owner and waits for the reader to learn of it: until
    // then the reader rightly still answers for the old owner.
    std::unique_ptr<Child> owner(std::vector<std::string> args) {
        const auto seen = reader_->changeCount();
        args.insert(args.begin(), kOwnerTool);
        auto child = std::make_unique<Child>(std::move(args), "", true);
        EXPECT_TRUE(eventually([&] { return reader_->changeCount() != seen; }));
        return child;
    }

    // Reads busy until `done` holds (a hung run fails at the time-out).
    void busyUntil(const std::function<bool()>& done) {
        std::optional<SharedText> last;
        ASSERT_TRUE(eventually([&] {
            last = reader_->readText();
            return last || done();
        }));
        ASSERT_EQ(last, std::nullopt) << "read " << show(last) << " instead of busy";
    }

    // Waits until the reader answers `want`. On the way it may answer "busy",
    // and the text it had before until it learns of the change, but never
    // anything else: no empty or partial text.
    void expectEventually(const std::u16string& want, std::chrono::milliseconds limit = 10s) {
        const auto previous = reader_->readText();
        std::optional<SharedText> last = previous;
        bool changed = false, wrong = false;
        const bool got = eventually(
            [&] {
                last = reader_->readText();
                if (!last || *last == want)
                    changed = true;
                else if (changed || last != previous)
                    wrong = true;
                return last && *last == want;
            },
            limit);
        EXPECT_FALSE(wrong) << "answered another text on the way: " << show(last);
        ASSERT_TRUE(got) << "last read: " << show(last);
    }

    std::unique_ptr<TestClient> client_;
    std::unique_ptr<ClipboardReader> reader_;
};

TEST_F(ReaderTest, XclipTextsAreReadExactlyAndFetchedOnce) {
    std::u16string big;  // 10 MiB
    while (big.size() < (10u << 20)) big += u"すとっくん clipboard line 0123456789 \U0001F600 テキスト\r\n";
    for (const std::u16string& text : {std::u16string(u"Hello, すとっくん ✓ \U0001F600"),
                                       std::u16string(u"first\r\nsecond\r\n\r\n  third\ttab\rlone"), big}) {
        SCOPED_TRACE(text.size());
        const auto before = reader_->transfers();
        const std::string file = test::tempFile(encodeUtf8(text));
        Child xclip(test::xclipArgs(), file);
        expectEventually(text, 30s);
        const auto a = reader_->readText(), b = reader_->readText();
        EXPECT_EQ(b, text);
        EXPECT_TRUE(a->sharesBufferWith(*b)) << "each read copied the text";
        EXPECT_EQ(reader_->transfers(), before + 1) << "an unchanged clipboard was fetched again";
    }
}

// (A clipboard without owner is read as empty in the COMPOUND_TEXT test.)
TEST_F(ReaderTest, ClipboardWithoutTextReadsEmpty) {
    const std::string file = test::tempFile("text");
    Child xclip(test::xclipArgs(), file);
    expectEventually(u"text");
    const auto o = owner({"serve", "image/png", "image/png", file});
    expectEventually(u"");
}

// An owner that never answers, and one that refuses every text target:
// busy (never empty), through the failed fetch and its retry.
TEST_F(ReaderTest, OwnersThatFailReadBusyUntilTheNextCopy) {
    for (const char* mode : {"hang", "refuse"}) {
        SCOPED_TRACE(mode);
        const std::string file = test::tempFile("before");
        Child first(test::xclipArgs(), file);
        expectEventually(u"before");
        const auto o = owner({mode});
        busyUntil([&] { return o->printed("request TARGETS") >= 2; });
        const std::string after = test::tempFile("copied after");
        Child second(test::xclipArgs(), after);
        expectEventually(u"copied after");
    }
}

TEST_F(ReaderTest, SecretsAreOnlyFetchedForAPasteAndNeverKept) {
    const std::string secret = test::tempFile("hunter2");
    {
        const auto o = owner({"hint", "secret", secret});
        busyUntil([&] { return o->printed("request x-kde-passwordManagerHint") >= 1; });
        // The reader handles the paste after it has judged the hint: a text
        // fetched for reads would have been asked for before the paste's.
        EXPECT_EQ(reader_->readTextToPaste(), u"hunter2");
        EXPECT_EQ(o->printed("request UTF8_STRING"), 1) << "the secret was fetched for reads";
        EXPECT_EQ(reader_->readText(), std::nullopt);
        EXPECT_EQ(reader_->readTextToPaste(), u"hunter2") << "a second paste";
        EXPECT_EQ(reader_->readText(), std::nullopt);
    }
    // The secret's owner is gone (had the reader not seen that yet, its news
    // would pass for the next owner's).
    ASSERT_TRUE(eventually([&] { return reader_->readText() == u""; }));
    // The hint with another value does not hide the text.
    const std::string plain = test::tempFile("not a secret");
    const auto o = owner({"hint", "accepted", plain});
    EXPECT_EQ(reader_->readTextToPaste(), u"not a secret") << "a paste right after a copy waits for the fetch";
    EXPECT_EQ(reader_->readText(), u"not a secret");
}

TEST_F(ReaderTest, BurstOfOwnersCostsOneTransferAndTheNewestWins) {
    expectEventually(u"");
    const auto before = reader_->transfers();
    std::vector<std::unique_ptr<Child>> owners;  // each ends when the next takes over
    for (int i = 0; i < 6; ++i) {
        owners.push_back(owner({"serve", "UTF8_STRING", "UTF8_STRING", test::tempFile("owner " + std::to_string(i))}));
    }
    EXPECT_EQ(reader_->transfers(), before) << "an owner change alone cost a transfer";
    EXPECT_EQ(reader_->readText(), std::nullopt) << "the first read after a change answers busy";
    expectEventually(u"owner 5");
    EXPECT_EQ(reader_->transfers(), before + 1);
}

TEST_F(ReaderTest, IncrPiecesThatSplitSequencesDecodeAsTheWhole) {
    // Pieces of 7 bytes split kana, emoji and the ill-formed sequences.
    std::string bytes;
    for (int i = 0; i < 300; ++i) bytes += "すと\xF0\x9F\x98\x80|\xE3\x81|\xED\xA0\x80|\xC3\xA9\xF0\x9F\x98";
    const std::string file = test::tempFile(bytes);
    Child owner({kOwnerTool, "incr", "7", file}, "", true);
    expectEventually(decodeUtf8(bytes));
}

TEST_F(ReaderTest, CompoundTextIsReadWhenItIsAllThatIsOffered) {
    // "すとっくん ｱ é" as a Japanese EUC locale's Xlib writes it.
    const std::string bytes =
        test::tempFile(std::string("\x1b$)B\xA4\xB9\xA4\xC8\xA4\xC3\xA4\xAF\xA4\xF3 \x1b)I\xB1 \x1b-A\xE9"));
    // A TEXT answer typed COMPOUND_TEXT is COMPOUND_TEXT.
    for (const char* target : {"COMPOUND_TEXT", "TEXT"}) {
        Child owner({kOwnerTool, "serve", target, "COMPOUND_TEXT", bytes}, "", true);
        expectEventually(u"すとっくん ｱ é");
        owner.stop();
        expectEventually(u"");
    }
}

}  // namespace
}  // namespace stock::x11
