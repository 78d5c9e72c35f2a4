// The program's clipboard on X11: reads through the reader, writes through
// QClipboard, under a real X server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>

#include "platform/qt/x11_clipboard.h"
#include "platform/x11/x11_clipboard_reader.h"
#include "x11/x_helpers.h"

namespace stock::qt {
namespace {

// Waits with the Qt event loop running, so that Qt can answer for the
// clipboard it owns.
bool waitWithEvents(const std::function<bool()>& done) {
    return test::eventually([&] {
        QApplication::processEvents();
        return done();
    });
}

// A read's text; nullopt when busy or a secret.
std::optional<SharedText> textOf(Clipboard& clip) {
    auto r = clip.readText();
    if (!r || r->secret) return std::nullopt;
    return std::move(r->text);
}

// The program's own writes are read at once, cost no transfer, and do not
// wait for an owner that hangs.
TEST(X11Clipboard, OwnWritesAreReadAtOnceAndNotFetchedBack) {
    X11Clipboard clip;
    ASSERT_NE(clip.reader(), nullptr);
    const auto before = clip.reader()->transfers();
    for (const SharedText text : {u"from the program\r\nline 2", u"second write", u"second write"}) {
        ASSERT_TRUE(clip.writeText(text));
        const auto read = textOf(clip);
        ASSERT_TRUE(read) << "not seen at once";
        EXPECT_TRUE(read->sharesBufferWith(text)) << "the text written was copied";
    }
    // The server reports owners in order: once xclip's text is read, the
    // program's own owner changes have been handled.
    test::Child xclip(test::xclip(), test::tempFile("from xclip"));
    EXPECT_TRUE(waitWithEvents([&] { return textOf(clip) == u"from xclip"; }));
    EXPECT_EQ(clip.reader()->transfers(), before + 1) << "the program's own text was fetched back";

    const auto seen = clip.changeCount();
    test::Child hang({STOCK_TEST_OWNER, "hang"});
    ASSERT_TRUE(waitWithEvents([&] { return clip.changeCount() != seen; }));
    EXPECT_EQ(clip.readText(), std::nullopt);
    ASSERT_TRUE(waitWithEvents([&] { return hang.printed("request TARGETS") >= 1; }));
    ASSERT_TRUE(clip.writeText(u"mine over the hang"));
    EXPECT_EQ(textOf(clip), u"mine over the hang");
}

TEST(X11Clipboard, CopyByQtItselfIsReadAndPastedAtOnce) {
    X11Clipboard clip;
    // A copy key in a text field goes to QClipboard directly. Its paste
    // cannot wait for the reader, whose fetch this very thread would answer.
    QGuiApplication::clipboard()->setText(QStringLiteral("copied in a field"));
    EXPECT_EQ(clip.readTextToPaste(), u"copied in a field");
    EXPECT_TRUE(waitWithEvents([&] { return textOf(clip) == u"copied in a field"; }));
}

}  // namespace
}  // namespace stock::qt

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
