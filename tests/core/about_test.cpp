#include <gtest/gtest.h>

#include <algorithm>

#include "about/frm_about.h"
#include "about/frm_about_layout.h"
#include "doubles/about_fakes.h"
#include "doubles/fakes.h"
#include "main_window/frm_clipboard.h"

namespace stock::test {
namespace {

const std::string kLookup1 = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kLookup2 = "SOFTWARE\\Microsoft\\Shared Tools Location";

struct About : ::testing::Test, AboutDoubles {
    FakeUi& ui = fakeUi;
    FrmAbout about{{ui, lifetime, userName, shell, programs, registry, messageBox}};

    FakeWindow& win() { return ui.window("frmAbout"); }
    std::u16string userText() { return win().textBox("txtUserName").text().str(); }
    int creates() const { return static_cast<int>(std::count(log.begin(), log.end(), "create frmAbout")); }
    void open() {
        about.setTop(100);
        about.setLeft(200);
        about.show();
    }
    void pressSys() {
        if (!about.loaded()) open();
        win().button("cmdSysInfo").click();
    }
    // Every key that was opened has been closed again.
    void expectAllKeysClosed() {
        EXPECT_TRUE(registry.openKeys.empty());
        EXPECT_EQ(registry.opens, registry.closes);
    }
};

// ---- loading, user name, link ----

TEST_F(About, LoadsOnFirstTouchOnceAndAfreshAfterEachUnload) {
    EXPECT_EQ(creates(), 0) << "nothing is loaded before the first touch";
    about.setTop(100);  // the first property loads the window without showing it
    EXPECT_EQ(creates(), 1);
    EXPECT_FALSE(win().visible());
    open();
    open();  // About pressed again while open: placed and shown, not loaded again
    EXPECT_EQ(creates(), 1);
    EXPECT_EQ(userName.calls, 1);
    EXPECT_TRUE(win().visible());
    EXPECT_EQ(win().left(), 200);

    win().label("url").mouseMove();
    win().button("cmdOK").click();
    EXPECT_FALSE(about.loaded());
    EXPECT_EQ(lifetime.loadedWindows(), 0);

    open();
    EXPECT_EQ(creates(), 2);
    EXPECT_EQ(userName.calls, 2);
    EXPECT_FALSE(win().label("url").bold()) << "a fresh window starts with the regular link";
    win().requestClose();  // the frame's close box unloads in the same way
    about.unload();        // unloading an unloaded window does nothing
    EXPECT_EQ(lifetime.loadedWindows(), 0);
}

TEST_F(About, UserNameTakesTheCountUpToTheFirstNul) {
    struct Case {
        std::string written;
        std::optional<std::uint32_t> count;
        bool fail;
        std::u16string shown;
    };
    const Case cases[] = {
        {std::string("alice") + '\0', 0u, false, u""},
        {"", std::nullopt, true, u"???"},
        {std::string("alice") + '\0', 3u, false, u"ali"},
        {std::string("\xE5\xB1\xB1\xE7\x94\xB0") + '\0', std::nullopt, false, u"山田"},
        {std::string("bob\0xyz", 7) + '\0', std::nullopt, false, u"bob"},
        {std::string("al") + '\0', 1000u, false, u"al"},
    };
    for (const Case& c : cases) {
        userName.written = c.written;
        userName.countAfter = c.count;
        userName.fail = c.fail;
        open();
        EXPECT_TRUE(userText() == c.shown) << narrow(c.shown) << ": " << narrow(userText());
        EXPECT_EQ(userName.bufferOnEntry, std::string(255, ' '));
        EXPECT_TRUE(win().visible()) << "the window opens all the same";
        about.unload();
    }
}

// Where the link goes and its bold under the pointer are tested with the real
// widgets and pointer.
TEST_F(About, ALinkThatCannotBeOpenedChangesNothing) {
    open();
    shell.fail = true;
    win().label("url").click();
    EXPECT_TRUE(about.loaded());
    EXPECT_TRUE(messageBox.shown.empty()) << "a failed open shows no message";
}

// ---- the process's lifetime with both windows ----

struct BothWindows : About {
    FakeClipboard clipboard{log};
    FakeInstanceLock lock{log};
    FrmClipboard main{{ui, clipboard, lock, lifetime, &about}};
    void SetUp() override { main.load(); }
    FakeWindow& mainWin() { return ui.window("frmClipboard"); }
    void openFromMain() { mainWin().button("Command9").click(); }
};

TEST_F(BothWindows, AboutButtonPlacesAboutAboveTheMainWindowEvenOffTheScreen) {
    mainWin().setTop(1000);
    mainWin().setLeft(450);
    openFromMain();
    EXPECT_EQ(win().top(), 1000 - 1590);
    EXPECT_EQ(win().left(), 450);
    EXPECT_TRUE(mainWin().visible()) << "both windows stay";
}

TEST_F(BothWindows, ExitButtonUnloadsAboutThenMainThenEnds) {
    openFromMain();
    const auto mark = log.size();
    mainWin().button("Command7").click();
    std::vector<std::string> steps(log.begin() + static_cast<long>(mark), log.end());
    ASSERT_GE(steps.size(), 3u);
    steps.resize(3);
    const std::vector<std::string> expected = {"frmAbout.destroy", "frmClipboard.destroy", "endProcess"};
    EXPECT_EQ(steps, expected);
}

TEST_F(BothWindows, ExitButtonWithoutAboutNeverLoadsIt) {
    mainWin().button("Command7").click();
    EXPECT_EQ(creates(), 0);
    EXPECT_TRUE(ui.ended);
}

TEST_F(BothWindows, MenuExitOrFrameCloseLeaveAnOpenAboutRunningUntilItCloses) {
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        if (way > 0) {
            ui.ended = false;
            main.load();
        }
        openFromMain();
        if (way == 0)
            mainWin().menuEntry("mnuExit").click();
        else
            mainWin().requestClose();
        EXPECT_TRUE(mainWin().destroyed);
        EXPECT_TRUE(win().visible());
        main.unload();  // unloading the unloaded main window again changes nothing
        EXPECT_FALSE(ui.ended) << "the About window keeps the process running";
        if (way == 2)
            win().requestClose();
        else
            win().button("cmdOK").click();
        EXPECT_TRUE(ui.ended) << "the last window's unload ends the process";
    }
}

TEST_F(BothWindows, MenuExitWithTheAboutWindowClosedEndsAtOnce) {
    openFromMain();
    win().button("cmdOK").click();
    EXPECT_FALSE(ui.ended);
    mainWin().menuEntry("mnuExit").click();
    EXPECT_TRUE(ui.ended);
}

// ---- the system information launcher ----

TEST_F(About, Lookup1StartsItsPathUntestedWithReadRightsOnly) {
    registry.keys[kLookup1]["PATH"] = regSz("C:\\Program Files\\Common Files\\msinfo32.exe");
    programs.files.insert(u"C:\\Program Files\\Common Files\\msinfo32.exe");
    pressSys();  // as a user without administrator rights
    ASSERT_EQ(programs.started.size(), 1u);
    EXPECT_TRUE(programs.started[0] == u"C:\\Program Files\\Common Files\\msinfo32.exe")
        << "the path with spaces is the program, whole and unquoted";
    EXPECT_TRUE(programs.tested.empty()) << "no file test for lookup 1";
    EXPECT_EQ(registry.rightsAsked.size(), 1u) << "lookup 2's key is never opened";
    EXPECT_TRUE(messageBox.shown.empty());
    for (auto rights : registry.rightsAsked) EXPECT_EQ(rights, 0x20019u);
    expectAllKeysClosed();
}

TEST_F(About, Lookup2AppendsTheFileNameToTheFolderAsStored) {
    const std::pair<std::string, std::u16string> cases[] = {{"C:\\Tools", u"C:\\Tools\\MSINFO32.EXE"},
                                                            {"C:\\Tools\\", u"C:\\Tools\\\\MSINFO32.EXE"}};
    for (const auto& [folder, file] : cases) {
        SCOPED_TRACE(folder);
        registry.keys.clear();
        registry.keys[kLookup1];  // the key without the value
        registry.keys[kLookup2]["MSINFO"] = regSz(folder);
        programs.files = {file};
        programs.tested.clear();
        programs.started.clear();
        pressSys();
        EXPECT_EQ(programs.tested, std::vector<std::u16string>{file});
        EXPECT_EQ(programs.started, std::vector<std::u16string>{file});
        EXPECT_TRUE(messageBox.shown.empty());
    }
    expectAllKeysClosed();
}

TEST_F(About, ValuesOfAnotherTypeLeaveThePathEmpty) {
    // Lookup 1 of another type: found, empty path, the start fails.
    registry.keys[kLookup1]["PATH"] = {reg::kExpandSz, {'%', 'X', '%', 0}};
    pressSys();
    EXPECT_EQ(std::count(log.begin(), log.end(), "start "), 1);
    EXPECT_EQ(registry.rightsAsked.size(), 1u) << "lookup 2's key is never opened";
    // Lookup 1 missing, lookup 2 of another type: the bare file name is tested.
    registry.keys.clear();
    registry.keys[kLookup2]["MSINFO"] = {reg::kBinary, {1, 2, 3}};
    pressSys();
    EXPECT_EQ(programs.tested, std::vector<std::u16string>{u"\\MSINFO32.EXE"});
    EXPECT_EQ(messageBox.shown.size(), 2u);
    expectAllKeysClosed();
}

TEST_F(About, EveryFailureEndsInOneMessageWhileTheWindowStaysOpen) {
    // Where lookup 2 names a real file, any fall-back to it would start a program.
    const auto lookup2Works = [&] {
        registry.keys[kLookup2]["MSINFO"] = regSz("C:\\Tools");
        programs.files.insert(u"C:\\Tools\\MSINFO32.EXE");
    };
    const std::function<void()> cases[] = {
        [] {},  // no keys at all
        [&] {
            registry.keys[kLookup1]["PATH"] = {reg::kSz, {}};
            lookup2Works();
        },
        [&] {
            registry.keys[kLookup1]["PATH"] = regSz("C:\\gone\\msinfo32.exe");
            lookup2Works();
        },
        [&] { registry.keys[kLookup1]["PATH"] = regSz(std::string(1024, 'x')); },  // 1025 with the NUL
        [&] {
            registry.keys[kLookup1]["PATH"] = regSz("C:\\x.exe");
            registry.failQuery = true;
        },
        [&] { registry.keys[kLookup1]["PATH"] = regSz(""); },
        [&] { registry.keys[kLookup2]["MSINFO"] = regSz("C:\\Tools"); },  // the folder without the file
    };
    int n = 0;
    for (const auto& arrange : cases) {
        SCOPED_TRACE(n++);
        registry.keys.clear();
        registry.failQuery = false;
        programs.files.clear();
        messageBox.shown.clear();
        arrange();
        open();
        bool stillOpenDuringTheMessage = false;
        messageBox.whileShown = [&] { stillOpenDuringTheMessage = about.loaded() && win().visible(); };
        pressSys();
        EXPECT_EQ(messageBox.shown, std::vector<std::u16string>{u"error : can't use sysinfo now."});
        EXPECT_TRUE(programs.started.empty());
        EXPECT_TRUE(stillOpenDuringTheMessage);
        EXPECT_TRUE(about.loaded());
        expectAllKeysClosed();
    }
}

// ---- the registry reader ----

struct KeyValue : About {
    std::u16string val = u"before";
    bool read(const FakeRegValue& v) {
        registry.keys["K"]["V"] = v;
        return about.GetKeyValue(reg::kLocalMachine, u"K", u"V", val);
    }
};

TEST_F(KeyValue, StringsLoseOnlyTheirTerminatorAndMustFitIn1024Bytes) {
    EXPECT_TRUE(read(regSz("C:\\a b", false)));
    EXPECT_TRUE(val == u"C:\\a b") << "without a terminator every character stays";
    EXPECT_TRUE(read({reg::kSz, {'a', 'b', 0, 0}}));
    EXPECT_TRUE(val == std::u16string(u"ab\0", 3)) << "only the last zero byte is dropped";
    EXPECT_TRUE(read(regSz("\xE6\x83\x85\xE5\xA0\xB1")));
    EXPECT_TRUE(val == u"情報");
    EXPECT_TRUE(read(regSz(std::string(1023, 'x'))));
    EXPECT_EQ(val.size(), 1023u);
    EXPECT_FALSE(read(regSz(std::string(1024, 'x'))));
    EXPECT_TRUE(val.empty());
    EXPECT_TRUE(registry.cleanBuffers) << "every read gets a zeroed buffer";
    expectAllKeysClosed();
}

TEST_F(KeyValue, DwordsAreWrittenAsHexThenAsTheirNumber) {
    const std::uint8_t bytes261[] = {0x05, 0x01, 0x00};  // 261 after the final zero byte is dropped
    EXPECT_EQ(regDwordLiteral(bytes261, 3), u"&h000105");
    const std::uint8_t full[] = {0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(regDwordLiteral(full, 4), u"&h12345678");
    EXPECT_TRUE(read(regDword(261)));
    EXPECT_TRUE(val == u"261");
    EXPECT_TRUE(read(regDword(0xFFFFFFFF)));
    EXPECT_TRUE(val == u"4294967295");
    EXPECT_THROW(formatHexLiteral(u"&h100000000"), std::overflow_error);
    EXPECT_THROW(formatHexLiteral(u"&h"), std::invalid_argument);
}

TEST_F(KeyValue, OtherTypesAnswerTrueAndKeepTheValueFromEntry) {
    EXPECT_TRUE(read({reg::kBinary, {1, 2, 3}}));
    EXPECT_TRUE(read({reg::kExpandSz, {'x', 0}}));
    EXPECT_TRUE(val == u"before");
}

TEST_F(KeyValue, NotFoundEmptiesTheValueAndClosesWhatWasOpened) {
    registry.keys["K"];
    EXPECT_FALSE(about.GetKeyValue(reg::kLocalMachine, u"K", u"missing", val));
    EXPECT_TRUE(val.empty());
    val = u"before";
    EXPECT_FALSE(about.GetKeyValue(reg::kLocalMachine, u"no such key", u"V", val));
    EXPECT_TRUE(val.empty());
    EXPECT_EQ(registry.closes, 1) << "a key that did not open is not closed";
    expectAllKeysClosed();
}

TEST_F(KeyValue, NoDataRaisesAfterClosingAndKeepsTheValue) {
    EXPECT_THROW(read({reg::kSz, {}}), std::exception);
    EXPECT_TRUE(val == u"before");
    registry.failQuery = true;
    EXPECT_THROW(read(regSz("x")), std::exception);
    expectAllKeysClosed();
}

}  // namespace
}  // namespace stock::test
