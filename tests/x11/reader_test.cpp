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
using test::TempFile;
using test::waitFor;

const std::string kOwnerTool = STOCK_TEST_OWNER;

// A client of the test's own that can take and drop the clipboard.
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
        if (const int e = xcb_connection_has_error(c_))
            throw std::runtime_error("no X display: error " + std::to_string(e));
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        window_ = xcb_generate_id(c_);
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        auto* r = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, 9, "CLIPBOARD"), nullptr);
        clipboard_ = r->atom;
        std::free(r);
    }
    ~TestClient() { xcb_disconnect(c_); }
    // Takes the clipboard (and then never answers a request).
    void take() {
        xcb_set_selection_owner(c_, window_, clipboard_, XCB_CURRENT_TIME);
        std::free(xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, clipboard_), nullptr));
    }
    // Leaves the clipboard without owner.
    void clear() {
        xcb_set_selection_owner(c_, XCB_NONE, clipboard_, XCB_CURRENT_TIME);
        std::free(xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, clipboard_), nullptr));
    }
    std::uint32_t idBase() const { return xcb_get_setup(c_)->resource_id_base; }
    std::uint32_t idMask() const { return xcb_get_setup(c_)->resource_id_mask; }

private:
    xcb_connection_t* c_;
    xcb_window_t window_;
    xcb_atom_t clipboard_;
};

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

    // Until the server's notice of a new owner arrives, the reader rightly
    // still answers for the old one: waits for that notice.
    bool noticed(std::uint64_t seen) {
        const auto by = std::chrono::steady_clock::now() + 2s;
        while (reader_->changeCount() == seen && std::chrono::steady_clock::now() < by)
            std::this_thread::sleep_for(5ms);
        return reader_->changeCount() != seen;
    }

    // Waits until the reader answers `want`. On the way it may answer "busy",
    // and the text it had before until it learns of the change, but never
    // anything else: no empty or partial text.
    void expectEventually(const std::u16string& want, std::chrono::milliseconds limit = 10s) {
        const auto previous = reader_->readText();
        std::optional<SharedText> last = previous;
        bool changed = false, wrong = false;
        const bool got = waitFor(
            [&] {
                last = reader_->readText();
                if (!last || *last == want)
                    changed = true;
                else if (changed || last != previous)
                    wrong = true;
                return last && *last == want;
            },
            limit);
        EXPECT_FALSE(wrong) << "answered another text on the way: " << (last ? test::utf8(last->str()) : "busy");
        ASSERT_TRUE(got) << (last ? "last read: " + test::utf8(last->str()) : "still busy");
    }

    // Reads many times over a while: always `want`, with no transfer.
    void expectStable(const std::u16string& want) {
        const auto before = reader_->transfers();
        for (int i = 0; i < 20; ++i) {
            EXPECT_EQ(reader_->readText(), want);
            std::this_thread::sleep_for(10ms);
        }
        EXPECT_EQ(reader_->transfers(), before) << "an unchanged clipboard was fetched again";
    }

    std::unique_ptr<TestClient> client_;
    std::unique_ptr<ClipboardReader> reader_;
};

TEST_F(ReaderTest, XclipTextsAreReadExactlyAndFetchedOnce) {
    struct Sample {
        const char* what;
        std::u16string text;
    };
    const Sample samples[] = {
        {"small", u"Hello, すとっくん ✓ \U0001F600"},
        {"multi-line with CR LF", u"first line\r\nsecond\r\n\r\n  third\ttab\r\n"},
        {"10 MiB", test::bigText(10u << 20)},
    };
    for (const auto& s : samples) {
        SCOPED_TRACE(s.what);
        const auto before = reader_->transfers();
        TempFile file(test::utf8(s.text));
        Child xclip(test::xclipArgs(), file.path());
        expectEventually(s.text, 30s);
        EXPECT_EQ(reader_->transfers(), before + 1);
        expectStable(s.text);
        const auto a = reader_->readText(), b = reader_->readText();
        EXPECT_TRUE(a->sharesBufferWith(*b)) << "each read copied the text";
    }
}

TEST_F(ReaderTest, ClipboardWithoutOwnerOrWithoutTextReadsEmpty) {
    {
        TempFile file("text");
        Child xclip(test::xclipArgs(), file.path());
        expectEventually(u"text");
    }  // xclip ends: nobody owns the clipboard
    expectEventually(u"");
    {
        const auto seen = reader_->changeCount();
        Child owner({kOwnerTool, "notext"}, "", true);
        ASSERT_TRUE(noticed(seen));
        expectEventually(u"");
        expectStable(u"");
    }
}

TEST_F(ReaderTest, OwnerThatNeverAnswersReadsBusyWithoutBlocking) {
    TempFile file("before");
    Child first(test::xclipArgs(), file.path());
    expectEventually(u"before");

    const auto seen = reader_->changeCount();
    Child hang({kOwnerTool, "hang"}, "", true);
    ASSERT_TRUE(noticed(seen));
    // Longer than the reader's stall timeout, so that failed fetches and
    // their retries are read too.
    auto slowest = 0ms;
    const auto end = std::chrono::steady_clock::now() + 2500ms;
    while (std::chrono::steady_clock::now() < end) {
        const auto t0 = std::chrono::steady_clock::now();
        const auto r = reader_->readText();
        slowest = std::max(
            slowest, std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0));
        ASSERT_EQ(r, std::nullopt) << "a hanging owner must read busy, never as a text or empty";
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_LT(slowest, 100ms) << "a read waited for the owner";

    TempFile after("copied after the hang");
    Child second(test::xclipArgs(), after.path());
    expectEventually(u"copied after the hang");
}

TEST_F(ReaderTest, SecretsAreNeverRead) {
    TempFile secret("hunter2");
    {
        const auto seen = reader_->changeCount();
        Child owner({kOwnerTool, "hint", "secret", secret.path()}, "", true);
        ASSERT_TRUE(noticed(seen));
        const auto before = reader_->transfers();
        const auto end = std::chrono::steady_clock::now() + 1500ms;
        while (std::chrono::steady_clock::now() < end) {
            ASSERT_EQ(reader_->readText(), std::nullopt);
            std::this_thread::sleep_for(20ms);
        }
        EXPECT_EQ(reader_->transfers(), before);
    }
    // The hint with another value does not hide the text.
    TempFile plain("not a secret");
    Child owner({kOwnerTool, "hint", "accepted", plain.path()}, "", true);
    expectEventually(u"not a secret");
}

TEST_F(ReaderTest, BurstOfOwnersCostsOneTransferAndTheNewestWins) {
    expectEventually(u"");
    const auto before = reader_->transfers();
    std::vector<std::unique_ptr<TempFile>> files;
    std::vector<std::unique_ptr<Child>> owners;  // each ends when the next takes over
    for (int i = 0; i < 6; ++i) {
        files.push_back(std::make_unique<TempFile>("owner " + std::to_string(i)));
        const auto seen = reader_->changeCount();
        owners.push_back(
            std::make_unique<Child>(std::vector<std::string>{kOwnerTool, "text", files.back()->path()}, "", true));
        ASSERT_TRUE(noticed(seen));
    }
    EXPECT_EQ(reader_->transfers(), before) << "an owner change alone cost a transfer";
    EXPECT_EQ(reader_->readText(), std::nullopt) << "the first read after a change answers busy";
    expectEventually(u"owner 5");
    EXPECT_EQ(reader_->transfers(), before + 1);
}

TEST_F(ReaderTest, PasteReadsASecretButKeepsNothingOfIt) {
    TempFile secret("hunter2");
    const auto seen = reader_->changeCount();
    Child owner({kOwnerTool, "hint", "secret", secret.path()}, "", true);
    ASSERT_TRUE(noticed(seen));
    EXPECT_EQ(reader_->readTextToPaste(), u"hunter2");
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(reader_->readText(), std::nullopt);
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(reader_->readTextToPaste(), u"hunter2") << "a second paste";

    TempFile plain("plain");
    const auto seen2 = reader_->changeCount();
    Child other({kOwnerTool, "text", plain.path()}, "", true);
    ASSERT_TRUE(noticed(seen2));
    EXPECT_EQ(reader_->readTextToPaste(), u"plain") << "a paste right after a copy waits for the fetch";
    EXPECT_EQ(reader_->readText(), u"plain");
}

TEST_F(ReaderTest, IncrPiecesThatSplitSequencesDecodeAsTheWhole) {
    // Pieces of 7 bytes split kana, emoji and the ill-formed sequences.
    std::string bytes;
    for (int i = 0; i < 300; ++i) bytes += "すと\xF0\x9F\x98\x80|\xE3\x81|\xED\xA0\x80|\xC3\xA9\xF0\x9F\x98";
    TempFile file(bytes);
    Child owner({kOwnerTool, "incr", "7", file.path()}, "", true);
    expectEventually(decodeUtf8(bytes));
}

TEST_F(ReaderTest, CompoundTextIsReadWhenItIsAllThatIsOffered) {
    // "すとっくん ｱ é" as a Japanese EUC locale's Xlib writes it.
    TempFile bytes(std::string("\x1b$)B\xA4\xB9\xA4\xC8\xA4\xC3\xA4\xAF\xA4\xF3 \x1b)I\xB1 \x1b-A\xE9"));
    const std::u16string want = u"すとっくん ｱ é";
    {
        Child owner({kOwnerTool, "serve", "COMPOUND_TEXT", "COMPOUND_TEXT", bytes.path()}, "", true);
        expectEventually(want);
    }
    expectEventually(u"");
    // A TEXT answer typed COMPOUND_TEXT is COMPOUND_TEXT.
    Child owner({kOwnerTool, "serve", "TEXT", "COMPOUND_TEXT", bytes.path()}, "", true);
    expectEventually(want);
}

TEST_F(ReaderTest, TextTargetsThatAllFailReadBusyNotEmpty) {
    TempFile file("before");
    Child first(test::xclipArgs(), file.path());
    expectEventually(u"before");
    const auto seen = reader_->changeCount();
    Child owner({kOwnerTool, "refuse"}, "", true);
    ASSERT_TRUE(noticed(seen));
    const auto end = std::chrono::steady_clock::now() + 2500ms;  // past a failed fetch and its retry
    while (std::chrono::steady_clock::now() < end) {
        ASSERT_EQ(reader_->readText(), std::nullopt);
        std::this_thread::sleep_for(20ms);
    }
}

TEST_F(ReaderTest, InvalidUtf8BecomesReplacementCharacters) {
    TempFile bytes(std::string("ok\xC0\xAF|\xE3\x81|\xED\xA0\x80|\xF0\x9F\x98\x80|\xFF"));
    Child owner({kOwnerTool, "text", bytes.path()}, "", true);
    expectEventually(u"ok\uFFFD\uFFFD|\uFFFD|\uFFFD\uFFFD\uFFFD|\U0001F600|\uFFFD");
}

TEST(ReaderOwnWrites, AreReadAtOnceWithoutAskingTheServer) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server";
    TestClient toolkit;  // plays the program's own toolkit; it never answers requests
    ClipboardReader::Options options;
    options.ownIdBase = toolkit.idBase();
    options.ownIdMask = toolkit.idMask();
    ClipboardReader reader(options);  // the toolkit's connection keeps the server up
    ASSERT_TRUE(reader.usable());

    reader.ownWriteBegun(u"mine");
    EXPECT_EQ(reader.readText(), u"mine");
    toolkit.take();
    // Had the reader fetched from the (silent) toolkit, it would read busy.
    for (int i = 0; i < 30; ++i) {
        ASSERT_EQ(reader.readText(), u"mine");
        std::this_thread::sleep_for(20ms);
    }

    // The toolkit taking the clipboard by itself is a change like any other:
    // the reader asks (and here gets no answer).
    toolkit.take();
    EXPECT_TRUE(waitFor([&] { return !reader.readText(); }));

    TempFile file("foreign");
    Child xclip(test::xclipArgs(), file.path());
    EXPECT_TRUE(waitFor([&] { return reader.readText() == u"foreign"; }));
}

}  // namespace
}  // namespace stock::x11
