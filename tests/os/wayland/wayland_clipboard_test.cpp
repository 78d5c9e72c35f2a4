// The Wayland clipboard in a real compositor (a headless sway started by
// scripts/in-sway.sh, with a native window holding the focus), against real
// owners and readers: wl-copy, wl-paste and wl_test_owner.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/text/utf8.h"
#include "os/wayland/wayland_clipboard.h"
#include "support/child.h"
#include "support/scratch.h"

namespace stock::wayland {
namespace {

using namespace std::chrono_literals;
using test::Child;
using test::eventually;
using test::tempFile;

const test::ScratchDir& scratch() {
    static const test::ScratchDir dir;
    return dir;
}

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// wl-copy in the foreground (so that its PID is its own) serving BYTES as TYPE.
std::unique_ptr<Child> wlCopy(const std::string& bytes, const std::string& type) {
    return std::make_unique<Child>(std::vector<std::string>{"wl-copy", "--foreground", "--type", type}, tempFile(bytes),
                                   "/dev/null");
}

// What wl-paste gets of TYPE.
std::string wlPaste(const std::string& type) {
    const std::string out = (scratch().dir / "pasted").string();
    Child paste({"wl-paste", "--no-newline", "--type", type}, "/dev/null", out);
    paste.wait();
    return contents(out);
}

std::optional<std::u16string> text(WaylandClipboard& clip) {
    auto r = clip.readText();
    if (!r || r->secret) return std::nullopt;
    return r->text.str();
}

class WaylandTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(clip_.usable()) << "needs a compositor with data control"; }
    void expectEventually(const std::u16string& want, std::chrono::milliseconds limit = 20s) {
        ASSERT_TRUE(eventually([&] { return text(clip_) == want; }, limit)) << encodeUtf8(want.substr(0, 80));
    }
    WaylandClipboard clip_;
};

std::u16string bigText() {
    std::u16string big;  // 10 MiB
    while (big.size() < (10u << 20)) big += u"すとっくん clipboard line 0123456789 \U0001F600 テキスト\r\n";
    return big;
}

// Copies made while a native window has the focus are read exactly, fetched
// once and shared by every read; an offer of no text type is an empty
// clipboard, and so is the clipboard once its owner is gone.
TEST_F(WaylandTest, CopiesAreReadExactlyWhateverHasTheFocus) {
    const std::u16string big = bigText();
    const struct {
        std::string type, bytes;
        std::u16string text;
    } cases[] = {
        {"text/plain;charset=utf-8", std::string("a\r\nb\rc\td\0e \xF0\x9F\x98\x80 \xFF!", 18),
         std::u16string(u"a\r\nb\rc\td\0e \U0001F600 \uFFFD!", 16)},
        {"image/png", "\x89PNG", u""},
        {"text/plain;charset=utf-8", encodeUtf8(big), big},
    };
    std::unique_ptr<Child> owner;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        owner.reset();
        const auto before = clip_.transfers();
        owner = wlCopy(c.bytes, c.type);
        ASSERT_TRUE(eventually([&] { return clip_.transfers() > before && text(clip_) == c.text; }, 20s));
        const auto a = clip_.readText(), b = clip_.readText();
        EXPECT_TRUE(c.text.empty() || a->text.sharesBufferWith(b->text)) << "each read copied the text";
        EXPECT_EQ(clip_.transfers(), before + 1) << "an unchanged clipboard was fetched again";
    }
    owner->stop();
    expectEventually(u"");
}

// The program's own text reaches every reader, in each type, exactly (STRING
// as Latin-1), and is read back at once without a transfer.
TEST_F(WaylandTest, OwnWritesReachEveryReaderExactly) {
    const std::u16string mine = u"mine\r\ncafé\t\U0001F600 \xD800 end";
    const auto before = clip_.transfers();
    ASSERT_TRUE(clip_.writeText(SharedText(mine)));
    EXPECT_EQ(text(clip_), mine);
    EXPECT_EQ(wlPaste("text/plain;charset=utf-8"), encodeUtf8(mine));
    EXPECT_EQ(wlPaste("UTF8_STRING"), encodeUtf8(mine));
    EXPECT_EQ(wlPaste("STRING"), "mine\r\ncaf\xE9\t? ? end");
    WaylandClipboard other;  // a lone surrogate has no UTF-8 form
    EXPECT_TRUE(eventually([&] { return text(other) == decodeUtf8(encodeUtf8(mine)); }));
    EXPECT_EQ(clip_.transfers(), before) << "our own write was fetched back";

    const std::u16string big = bigText();
    ASSERT_TRUE(clip_.writeText(SharedText(big)));
    EXPECT_EQ(wlPaste("text/plain"), encodeUtf8(big));
}

// An offer that its owner marks a secret is never read, but a paste gets it.
TEST_F(WaylandTest, SecretsAreNeverReadButPasted) {
    const std::string asked = (scratch().dir / "asked").string();
    Child owner({STOCK_WL_TEST_OWNER, "secret", tempFile("hunter2")}, "/dev/null", asked);
    ASSERT_TRUE(eventually([&] {
        const auto r = clip_.readText();
        return r && r->secret;
    }));
    EXPECT_NE(contents(asked).find("asked x-kde-passwordManagerHint"), std::string::npos);
    EXPECT_EQ(contents(asked).find("asked text"), std::string::npos) << "the secret's text was read";
    EXPECT_EQ(clip_.readTextToPaste(), u"hunter2");
    const auto r = clip_.readText();
    EXPECT_TRUE(r && r->secret && r->text.empty()) << "the pasted secret was kept";
}

// An owner that never writes, or refuses every text type it lists, keeps the
// clipboard busy, never empty, without holding anything up, until the next
// copy: it is asked again (each read after a failed transfer retries).
TEST_F(WaylandTest, OwnersThatNeverWriteOrRefuseAreBusyNeverEmpty) {
    auto next = wlCopy("first", "text/plain");
    expectEventually(u"first");
    for (const char* mode : {"silent", "refuse"}) {
        SCOPED_TRACE(mode);
        const std::string asked = (scratch().dir / mode).string();
        Child owner({STOCK_WL_TEST_OWNER, mode}, "/dev/null", asked);
        const std::string again = std::string(mode) == "silent" ? "asked text/plain;charset=utf-8\nasked"
                                                                : "asked UTF8_STRING\nasked text/plain;charset=utf-8";
        ASSERT_TRUE(eventually([&] {
            EXPECT_NE(text(clip_), u"");
            return contents(asked).find(again) != std::string::npos;
        }));
        next = wlCopy(mode, "text/plain");
        expectEventually(std::u16string(mode, mode + std::strlen(mode)));
    }
}

}  // namespace
}  // namespace stock::wayland
