// The program's clipboard on X11: reads through the reader, writes through
// QClipboard, under a real X server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <cstdlib>
#include <optional>

#include "ui/qt/desktop_clipboard.h"
#include "os/x11/x11_clipboard_reader.h"
#include "support/scratch.h"

namespace stock::qt {
namespace {

// A read's text; nullopt when busy or a secret.
std::optional<SharedText> textOf(Clipboard& clip) {
    auto r = clip.readText();
    if (!r || r->secret) return std::nullopt;
    return std::move(r->text);
}

// The program's own write is read at once and not fetched back. A copy key
// in a text field goes to QClipboard directly: its paste cannot wait for the
// reader, whose fetch this very thread would answer.
TEST(DesktopClipboard, OwnWritesAndCopiesByQtAreReadAndPastedAtOnce) {
    DesktopClipboard clip;
    ASSERT_NE(clip.reader(), nullptr);
    const auto before = clip.reader()->transfers();
    const SharedText mine(u"from the program\r\nline 2");
    ASSERT_TRUE(clip.writeText(mine));
    const auto read = textOf(clip);
    ASSERT_TRUE(read && read->sharesBufferWith(mine)) << "not read at once, or copied";

    QGuiApplication::clipboard()->setText(QStringLiteral("copied in a field"));
    EXPECT_EQ(clip.readTextToPaste(), u"copied in a field");
    // Qt answers the reader's fetch of the clipboard it owns from its event loop.
    EXPECT_TRUE(test::eventually([&] {
        QApplication::processEvents();
        return textOf(clip) == u"copied in a field";
    }));
    EXPECT_EQ(clip.reader()->transfers(), before + 1) << "the program's own text was fetched back";
}

}  // namespace
}  // namespace stock::qt

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
