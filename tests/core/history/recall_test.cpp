// A history row brought back into the edit box.
#include "support/main_window.h"

namespace stock::test {
namespace {

using Recall = MainWindow;

TEST_F(Recall, ARowClickedPutsItsExactTextIntoTheEditBox) {
    take(u"first");
    take(u"second\r\nline");
    win().listBox("List1").pick(1);
    EXPECT_EQ(box().text(), u"first");
    win().listBox("List1").pick(0);
    EXPECT_EQ(box().text(), u"second\r\nline");
}

}  // namespace
}  // namespace stock::test
