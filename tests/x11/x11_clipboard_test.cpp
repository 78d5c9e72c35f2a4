// The program's clipboard on X11: reads through the reader, writes through
// QClipboard, under a real X server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <chrono>
#include <cstdlib>

#include "platform/qt/qt_clipboard.h"
#include "platform/qt/x11_clipboard.h"
#include "platform/x11/x11_clipboard_reader.h"
#include "x11/x_helpers.h"

namespace stock::qt {
namespace {

using namespace std::chrono_literals;

// Waits with the Qt event loop running, so that Qt can answer for the
// clipboard it owns.
bool waitWithEvents(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s) {
    return test::eventually(
        [&] {
            QApplication::processEvents();
            return done();
        },
        limit);
}

// A read's text; nullopt when busy or a secret.
std::optional<SharedText> textOf(Clipboard& clip) {
    auto r = clip.readText();
    if (!r || r->secret) return std::nullopt;
    return std::move(r->text);
}

TEST(X11Clipboard, OwnWritesAreReadAtOnceAndNotFetchedBack) {
    X11Clipboard clip;
    ASSERT_NE(clip.reader(), nullptr);
    const auto before = clip.reader()->transfers();
    for (const SharedText text : {u"from the program\r\nline 2", u"second write", u"second write"}) {
        ASSERT_TRUE(clip.writeText(text));
        const auto read = textOf(clip);
        ASSERT_TRUE(read) << "not seen at once";
        EXPECT_EQ(*read, text);
        EXPECT_TRUE(read->sharesBufferWith(text)) << "the text written was copied";
    }
    // The server reports owners in order: once xclip's text is read, the
    // program's own owner changes have been handled, and cost no transfer.
    const std::string file = test::tempFile("from xclip");
    test::Child xclip(test::xclipArgs(), file);
    EXPECT_TRUE(waitWithEvents([&] { return textOf(clip) == u"from xclip"; }));
    EXPECT_EQ(clip.reader()->transfers(), before + 1) << "the program's own text was fetched back";
    ASSERT_TRUE(clip.writeText(u"after xclip"));
    EXPECT_EQ(textOf(clip), u"after xclip");
}

TEST(X11Clipboard, CopyByQtItselfIsReadAndPastedAtOnce) {
    X11Clipboard clip;
    // A copy key in a text field goes to QClipboard directly. Its paste
    // cannot wait for the reader, whose fetch this very thread would answer.
    QGuiApplication::clipboard()->setText(QStringLiteral("copied in a field"));
    EXPECT_EQ(clip.readTextToPaste(), u"copied in a field");
    EXPECT_TRUE(waitWithEvents([&] { return textOf(clip) == u"copied in a field"; }));
}

// A write does not wait for a hanging owner. (The secret rule through this
// class is checked end to end, by test_clipboard_owners.sh.)
TEST(X11Clipboard, WriteOverAHangingOwner) {
    X11Clipboard clip;
    ASSERT_NE(clip.reader(), nullptr);
    const auto seen = clip.changeCount();
    test::Child hang({STOCK_TEST_OWNER, "hang"}, "", true);
    ASSERT_TRUE(waitWithEvents([&] { return clip.changeCount() != seen; }));
    EXPECT_EQ(clip.readText(), std::nullopt);
    ASSERT_TRUE(waitWithEvents([&] { return hang.printed("request TARGETS") >= 1; }));
    ASSERT_TRUE(clip.writeText(u"mine over the hang"));
    EXPECT_EQ(textOf(clip), u"mine over the hang");
}

// The fallback when the X11 reader cannot start.
TEST(QtClipboardFallback, SecretsArePastedButReadOnlyAsSecrets) {
    QtClipboard clip;
    const std::string secret = test::tempFile("hunter2");
    {
        test::Child owner({STOCK_TEST_OWNER, "hint", "secret", secret}, "", true);
        ASSERT_TRUE(waitWithEvents([&] { return clip.readTextToPaste() == u"hunter2"; }));
        const auto read = clip.readText();
        ASSERT_TRUE(read);
        EXPECT_TRUE(read->secret);
        EXPECT_EQ(read->text, u"") << "a secret's text is left unread";
    }
    const std::string plain = test::tempFile("not a secret");
    test::Child owner({STOCK_TEST_OWNER, "hint", "accepted", plain}, "", true);
    EXPECT_TRUE(waitWithEvents([&] { return textOf(clip) == u"not a secret"; }));
}

}  // namespace
}  // namespace stock::qt
