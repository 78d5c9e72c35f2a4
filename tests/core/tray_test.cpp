#include <gtest/gtest.h>

#include <algorithm>

#include "doubles/fakes.h"
#include "main_window/frm_clipboard.h"

namespace stock::test {
namespace {

class FakeTray final : public TrayIcon {
public:
    explicit FakeTray(Log& log) : log_(log) {}
    void add(const std::u16string& text, std::function<void(int)> onEvent) override {
        log_.push_back("tray.add");
        tip = text;
        onEvent_ = std::move(onEvent);
        ++added;
    }
    void remove() override {
        log_.push_back("tray.remove");
        ++removed;
    }
    void send(int message) {
        if (onEvent_) onEvent_(message);
    }
    std::u16string tip;
    int added = 0, removed = 0;

private:
    Log& log_;
    std::function<void(int)> onEvent_;
};

struct Tray : ::testing::Test, MainWindowDoubles {
    FakeTray tray{log};
    void start() { MainWindowDoubles::start(nullptr, &tray); }
    std::vector<std::string> since(std::size_t from) const {
        return {log.begin() + static_cast<long>(from), log.end()};
    }
    long count(const std::string& entry) const { return std::count(log.begin(), log.end(), entry); }
};

TEST_F(Tray, TheIconIsAddedAsTheLastLoadStepAndNeverByASecondInstance) {
    start();
    EXPECT_EQ(log.back(), "tray.add");
    EXPECT_EQ(tray.tip, u"すとっくん");
    lock.held = true;
    start();
    EXPECT_EQ(tray.added, 1);
}

TEST_F(Tray, EveryUnloadRemovesTheIconOnce) {
    const std::function<void(Tray&)> ways[] = {
        [](Tray& t) { t.win().button("Command7").click(); },
        [](Tray& t) { t.win().menuEntry("mnuExit").click(); },
        [](Tray& t) { t.win().requestClose(); },
    };
    for (const auto& way : ways) {
        tray.removed = 0;
        start();
        way(*this);
        frm->unload();  // a second unload removes nothing more
        EXPECT_EQ(tray.removed, 1);
    }
}

TEST_F(Tray, OnlyTheLeftReleaseAndTheDoubleClickAct) {
    start();
    win().menuEntry("mnusnormal").click();  // normal mode
    win().hide();
    auto mark = log.size();
    tray.send(513);
    EXPECT_EQ(since(mark), std::vector<std::string>{"mnuAbout.hide"});
    mark = log.size();
    for (int other : {512, 514, 517, 518, 519, 0, -1, 100000}) tray.send(other);
    for (int i = 0; i < 5; ++i) win().mouseMove();  // pointer moves never act like tray events
    EXPECT_TRUE(since(mark).empty());
    EXPECT_FALSE(win().visible());
    for (int m : {513, 514, 515, 514}) tray.send(m);
    EXPECT_EQ(count("frmClipboard.show"), 1) << "a double click shows the window once";
    EXPECT_TRUE(win().visible());
    EXPECT_FALSE(win().topmost()) << "shown in the mode it had";
}

TEST_F(Tray, RightPressBringsTheWindowForwardRunsPendingEventsThenOpensTheMenu) {
    start();
    ui.pending = [this] { win().timer("Timer1").tick(); };
    clipboard.text = u"taken while the menu opens";
    const auto mark = log.size();
    tray.send(516);
    const auto steps = since(mark);
    const auto at = [&](const std::string& s) { return std::find(steps.begin(), steps.end(), s) - steps.begin(); };
    ASSERT_LT(at("frmClipboard.popup(mnuAbout)"), static_cast<long>(steps.size()));
    EXPECT_LT(at("frmClipboard.foreground"), at("processEvents"));
    EXPECT_LT(at("processEvents"), at("clipboard.read"));
    EXPECT_LT(at("RichTextBox2.setText"), at("frmClipboard.popup(mnuAbout)"));
}

TEST_F(Tray, ClearHistoryFromTheMenuWorksWhileHidden) {
    start();
    clipboard.text = u"row";
    win().timer("Timer1").tick();
    win().menuEntry("mnuHide").click();
    win().menuEntry("mnuCHistory").click();
    EXPECT_EQ(win().listBox("List1").shown, 0u);
    EXPECT_FALSE(win().visible());
}

}  // namespace
}  // namespace stock::test
