// The once-a-second watcher: what it takes from the clipboard into the
// current clip and the history, and what it never takes.
#include "support/main_window.h"

namespace stock::test {
namespace {

using Watcher = MainWindow;

TEST_F(Watcher, EachChangeOfTheExactClipboardTextAddsOneTopRow) {
    take(u"");  // an empty clipboard at start adds nothing
    for (const char16_t* text : {u"abc", u"abc", u"ABC", u"line 1\r\nline 2", u"abc", u""}) take(text);
    EXPECT_EQ(rows(), (Rows{u"", u"abc", u"line 1\u21B5line 2", u"ABC", u"abc"}));
    EXPECT_EQ(currentClip(), u"");
}

// A tick reads twice when the text differs: a secret or a failure on either
// read leaves everything as it was.
TEST_F(Watcher, SecretsAndUnreadableClipboardsAreNeverRecorded) {
    take(u"A");
    clipboard.secret = true;
    take(u"password");
    clipboard.nextReads.push_back(ClipboardText{SharedText(u"B")});  // a secret comes between the reads
    tick();
    clipboard.secret = false;
    clipboard.busy = true;
    take(u"B");
    EXPECT_EQ(rows(), Rows{u"A"});
    EXPECT_EQ(currentClip(), u"A");
    clipboard.busy = false;
    tick();
    EXPECT_EQ(rows(), (Rows{u"B", u"A"}));
}

TEST_F(Watcher, NoReadWhileTheChangeCountStandsStill) {
    clipboard.count = 1;
    take(u"A");
    const int reads = clipboard.reads;
    clipboard.text = u"not announced";
    tick();
    tick();
    EXPECT_EQ(clipboard.reads, reads);
    clipboard.count = 2;
    clipboard.busy = true;  // a failed read is tried again at the next tick
    tick();
    clipboard.busy = false;
    tick();
    EXPECT_EQ(rows(), (Rows{u"not announced", u"A"}));
}

}  // namespace
}  // namespace stock::test
