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

struct About : ::testing::Test {
    Log log;
    FakeUi ui{log};
    Lifetime lifetime{ui};
    FakeUserName userName{log};
    FakeShell shell{log};
    FakePrograms programs{log};
    FakeRegistry registry{log};
    FakeMessageBox messageBox{log};
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
        win().fakeButton("cmdSysInfo").click();
    }
    bool opened(const std::string& key) const {
        return std::find(log.begin(), log.end(), "reg.open " + key) != log.end();
    }
    // Every key that was opened has been closed again.
    void expectAllKeysClosed() {
        EXPECT_TRUE(registry.openKeys.empty());
        EXPECT_EQ(registry.opens, registry.closes);
    }
};

// ---- loading, user name, link ----

TEST_F(About, LoadsOnFirstTouchOnceAndAfreshAfterEachUnload) {
    EXPECT_FALSE(about.loaded());
    EXPECT_EQ(creates(), 0) << "nothing is loaded before the first touch";

    open();
    EXPECT_EQ(creates(), 1);
    EXPECT_EQ(userName.calls, 1);
    EXPECT_EQ(lifetime.loadedWindows(), 1);
    EXPECT_TRUE(win().visible());
    EXPECT_EQ(win().top(), 100);
    EXPECT_EQ(win().left(), 200);

    open();  // About pressed again while open: placed and shown, not loaded again
    EXPECT_EQ(creates(), 1);
    EXPECT_EQ(userName.calls, 1);
    EXPECT_EQ(lifetime.loadedWindows(), 1);

    win().fakeLabel("url").mouseMove();
    win().fakeButton("cmdOK").click();
    EXPECT_FALSE(about.loaded());
    EXPECT_TRUE(win().destroyed);
    EXPECT_EQ(lifetime.loadedWindows(), 0);

    open();
    EXPECT_EQ(creates(), 2);
    EXPECT_EQ(userName.calls, 2);
    EXPECT_FALSE(win().label("url").bold()) << "a fresh window starts with the regular link";

    win().requestClose();  // the frame's close box unloads in the same way
    EXPECT_FALSE(about.loaded());
    about.unload();  // unloading an unloaded window does nothing
    EXPECT_EQ(lifetime.loadedWindows(), 0);
}

TEST_F(About, LoadStepRunsWhenTheFirstPropertyIsSetBeforePlacingAndShowing) {
    about.setTop(-590);
    const std::vector<std::string> expected = {"create frmAbout", "userName", "txtUserName.setText",
                                               "frmAbout.top(-590)"};
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(win().visible());
}

TEST_F(About, UserNameTakesTheCountUpToTheFirstNul) {
    struct Case {
        const char* what;
        std::string written;
        std::optional<std::uint32_t> count;
        bool fail;
        std::u16string shown;
    };
    const Case cases[] = {
        {"five letters, count 6", std::string("alice") + '\0', 6u, false, u"alice"},
        {"count 0", std::string("alice") + '\0', 0u, false, u""},
        {"the call raises", "", std::nullopt, true, u"???"},
        {"count short of the name", std::string("alice") + '\0', 3u, false, u"ali"},
        {"UTF-8 name", std::string("\xE5\xB1\xB1\xE7\x94\xB0") + '\0', std::nullopt, false, u"山田"},
        {"NUL inside the count", std::string("bob\0xyz", 7) + '\0', std::nullopt, false, u"bob"},
        {"a count past the buffer", std::string("al") + '\0', 1000u, false, u"al"},
    };
    for (const Case& c : cases) {
        userName.written = c.written;
        userName.countAfter = c.count;
        userName.fail = c.fail;
        open();
        EXPECT_TRUE(userText() == c.shown) << c.what << ": " << narrow(userText());
        EXPECT_EQ(userName.bufferOnEntry, std::string(255, ' ')) << c.what;
        EXPECT_TRUE(win().visible()) << c.what << ": the window opens all the same";
        about.unload();
    }
}

TEST_F(About, LinkOpensExactlyItsCaptionAndStaysOpenWhateverTheShellSays) {
    open();
    const std::u16string caption = win().label("url").caption();
    EXPECT_EQ(caption, u"https://stockkun.example/");
    win().fakeLabel("url").click();
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_TRUE(shell.opened[0] == caption);

    shell.fail = true;
    win().fakeLabel("url").click();
    EXPECT_TRUE(about.loaded());
    EXPECT_TRUE(messageBox.shown.empty()) << "a failed open shows no message";
}

TEST_F(About, HoverSetsBoldOverTheLinkAndOnlyTheBareWindowClearsIt) {
    open();
    auto& url = win().fakeLabel("url");
    EXPECT_FALSE(url.bold());
    url.mouseMove();
    EXPECT_TRUE(url.bold());
    url.mouseMove();
    EXPECT_TRUE(url.bold());
    win().fakeLabel("lblTitle").mouseMove();  // over another control: no change
    EXPECT_TRUE(url.bold());
    win().mouseMove();
    EXPECT_FALSE(url.bold());
    win().mouseMove();
    EXPECT_FALSE(url.bold());
}

// ---- the process's lifetime with both windows ----

struct BothWindows : About {
    FakeClipboard clipboard{log};
    FakeInstanceLock lock{log};
    FrmClipboard main{{ui, clipboard, lock, lifetime, &about}};
    void SetUp() override { main.load(); }
    FakeWindow& mainWin() { return ui.window("frmClipboard"); }
    void openFromMain() { mainWin().fakeButton("Command9").click(); }
};

TEST_F(BothWindows, AboutButtonPlacesAboutAboveTheMainWindowEvenOffTheScreen) {
    mainWin().setTop(1000);
    mainWin().setLeft(450);
    openFromMain();
    EXPECT_EQ(win().top(), 1000 - 1590);
    EXPECT_EQ(win().left(), 450);
    EXPECT_TRUE(win().visible());
    EXPECT_TRUE(mainWin().visible()) << "both windows stay";
}

TEST_F(BothWindows, ExitButtonUnloadsAboutThenMainThenEnds) {
    openFromMain();
    const auto mark = log.size();
    mainWin().fakeButton("Command7").click();
    const std::vector<std::string> steps(log.begin() + static_cast<long>(mark), log.end());
    ASSERT_GE(steps.size(), 3u);
    EXPECT_EQ(steps[0], "frmAbout.destroy");
    EXPECT_EQ(steps[1], "frmClipboard.destroy");
    EXPECT_EQ(steps[2], "endProcess");
    EXPECT_FALSE(about.loaded());
}

TEST_F(BothWindows, ExitButtonWithoutAboutNeverLoadsIt) {
    mainWin().fakeButton("Command7").click();
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
            mainWin().fakeMenuEntry("mnuExit").click();
        else
            mainWin().requestClose();
        EXPECT_TRUE(mainWin().destroyed);
        EXPECT_TRUE(about.loaded());
        EXPECT_TRUE(win().visible());
        EXPECT_FALSE(ui.ended) << "the About window keeps the process running";
        main.unload();  // unloading the unloaded main window again changes nothing
        EXPECT_FALSE(ui.ended);
        EXPECT_EQ(lifetime.loadedWindows(), 1);
        if (way == 2)
            win().requestClose();
        else
            win().fakeButton("cmdOK").click();
        EXPECT_TRUE(ui.ended) << "the last window's unload ends the process";
        EXPECT_EQ(lifetime.loadedWindows(), 0);
    }
}

TEST_F(BothWindows, MenuExitWithTheAboutWindowClosedEndsAtOnce) {
    openFromMain();
    win().fakeButton("cmdOK").click();
    EXPECT_FALSE(ui.ended);
    mainWin().fakeMenuEntry("mnuExit").click();
    EXPECT_TRUE(ui.ended);
}

TEST_F(BothWindows, HidingTheMainWindowNeverEndsTheProcess) {
    openFromMain();
    win().fakeButton("cmdOK").click();
    mainWin().fakeButton("Command6").click();
    EXPECT_FALSE(ui.ended);
}

// ---- the system information launcher ----

TEST_F(About, Lookup1StartsItsPathUntestedAndNeverTriesLookup2) {
    registry.keys[kLookup1]["PATH"] = regSz("C:\\Program Files\\Common Files\\msinfo32.exe");
    programs.files.insert(u"C:\\Program Files\\Common Files\\msinfo32.exe");
    pressSys();
    ASSERT_EQ(programs.started.size(), 1u);
    EXPECT_TRUE(programs.started[0] == u"C:\\Program Files\\Common Files\\msinfo32.exe")
        << "the path with spaces is the program, whole and unquoted";
    EXPECT_TRUE(programs.tested.empty()) << "no file test for lookup 1";
    EXPECT_FALSE(opened(kLookup2));
    EXPECT_TRUE(messageBox.shown.empty());
    expectAllKeysClosed();
}

TEST_F(About, Lookup1NamingAMissingFileShowsTheMessageWithoutLookup2) {
    registry.keys[kLookup1]["PATH"] = regSz("C:\\gone\\msinfo32.exe");
    registry.keys[kLookup2]["MSINFO"] = regSz("C:\\Tools\\Info");
    programs.files.insert(u"C:\\Tools\\Info\\MSINFO32.EXE");
    pressSys();
    EXPECT_TRUE(programs.started.empty());
    EXPECT_FALSE(opened(kLookup2));
    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_TRUE(messageBox.shown[0] == u"error : can't use sysinfo now.");
    expectAllKeysClosed();
}

TEST_F(About, Lookup2AppendsTheFileNameToTheFolderAsStored) {
    struct Case {
        std::string folder;
        std::u16string tested;
    };
    const Case cases[] = {
        {"C:\\Tools\\Info", u"C:\\Tools\\Info\\MSINFO32.EXE"},
        {"C:\\Tools\\Info\\", u"C:\\Tools\\Info\\\\MSINFO32.EXE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        programs.tested.clear();
        programs.started.clear();
        registry.keys.clear();
        registry.keys[kLookup1];  // the key without the value
        registry.keys[kLookup2]["MSINFO"] = regSz(c.folder);

        programs.files = {};
        pressSys();
        ASSERT_EQ(programs.tested.size(), 1u);
        EXPECT_TRUE(programs.tested[0] == c.tested);
        EXPECT_TRUE(programs.started.empty()) << "no such file: not started";
        EXPECT_EQ(messageBox.shown.size(), 1u);

        programs.files = {c.tested};
        pressSys();
        ASSERT_EQ(programs.started.size(), 1u);
        EXPECT_TRUE(programs.started[0] == c.tested);
        EXPECT_EQ(messageBox.shown.size(), 1u) << "no further message";
        messageBox.shown.clear();
        expectAllKeysClosed();
    }
}

TEST_F(About, ValuesOfAnotherTypeLeaveThePathEmpty) {
    // Lookup 1 of another type: found, empty path, the start fails.
    registry.keys[kLookup1]["PATH"] = {REG_EXPAND_SZ, {'%', 'X', '%', 0}};
    pressSys();
    EXPECT_EQ(std::count(log.begin(), log.end(), "start "), 1);
    EXPECT_FALSE(opened(kLookup2));
    EXPECT_EQ(messageBox.shown.size(), 1u);

    // Lookup 1 missing, lookup 2 of another type: the bare file name is tested.
    registry.keys.clear();
    registry.keys[kLookup2]["MSINFO"] = {REG_BINARY, {1, 2, 3}};
    programs.tested.clear();
    pressSys();
    ASSERT_EQ(programs.tested.size(), 1u);
    EXPECT_TRUE(programs.tested[0] == u"\\MSINFO32.EXE");
    EXPECT_EQ(messageBox.shown.size(), 2u);
    expectAllKeysClosed();
}

TEST_F(About, EveryFailureEndsInOneMessageAndLeavesTheWindowAsItWas) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
    };
    const Case cases[] = {
        {"no keys at all", [] {}},
        {"lookup 1 with 0 bytes of data",
         [&] {
             registry.keys[kLookup1]["PATH"] = {REG_SZ, {}};
             registry.keys[kLookup2]["MSINFO"] = regSz("C:\\Tools");
             programs.files.insert(u"C:\\Tools\\MSINFO32.EXE");
         }},
        {"lookup 1 longer than 1024 bytes",
         [&] {
             registry.keys[kLookup1]["PATH"] = regSz(std::string(1024, 'x'));  // 1025 with the NUL
         }},
        {"the registry raises",
         [&] {
             registry.keys[kLookup1]["PATH"] = regSz("C:\\x.exe");
             registry.failQuery = true;
         }},
        {"lookup 1 an empty string", [&] { registry.keys[kLookup1]["PATH"] = regSz(""); }},
        {"lookup 2's folder without the file", [&] { registry.keys[kLookup2]["MSINFO"] = regSz("C:\\Tools"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        registry.keys.clear();
        registry.failQuery = false;
        programs.files.clear();
        messageBox.shown.clear();
        c.arrange();
        open();
        const std::u16string user = userText();
        bool stillOpenDuringTheMessage = false;
        messageBox.whileShown = [&] { stillOpenDuringTheMessage = about.loaded() && win().visible(); };
        pressSys();
        ASSERT_EQ(messageBox.shown.size(), 1u);
        EXPECT_TRUE(messageBox.shown[0] == u"error : can't use sysinfo now.");
        EXPECT_TRUE(programs.started.empty());
        EXPECT_TRUE(stillOpenDuringTheMessage);
        EXPECT_TRUE(about.loaded());
        EXPECT_TRUE(userText() == user);
        EXPECT_FALSE(win().label("url").bold());
        expectAllKeysClosed();
    }
}

TEST_F(About, ZeroBytesInLookup1StopsBeforeLookup2) {
    registry.keys[kLookup1]["PATH"] = {REG_SZ, {}};
    registry.keys[kLookup2]["MSINFO"] = regSz("C:\\Tools");
    programs.files.insert(u"C:\\Tools\\MSINFO32.EXE");
    pressSys();
    EXPECT_FALSE(opened(kLookup2));
    EXPECT_TRUE(programs.started.empty());
    EXPECT_EQ(messageBox.shown.size(), 1u);
}

TEST_F(About, KeysAreOpenedForReadingOnlySoAnOrdinaryUserFindsTheTool) {
    registry.administrator = false;
    registry.keys[kLookup1]["PATH"] = regSz("/usr/bin/hardinfo");
    programs.files.insert(u"/usr/bin/hardinfo");
    pressSys();
    ASSERT_FALSE(registry.rightsAsked.empty());
    for (auto rights : registry.rightsAsked) EXPECT_EQ(rights, 0x20019u);
    ASSERT_EQ(programs.started.size(), 1u);
    EXPECT_TRUE(messageBox.shown.empty());
}

TEST_F(About, EachPressStartsAfresh) {
    pressSys();
    EXPECT_EQ(messageBox.shown.size(), 1u);
    registry.keys[kLookup1]["PATH"] = regSz("/usr/bin/hardinfo");
    programs.files.insert(u"/usr/bin/hardinfo");
    pressSys();
    EXPECT_EQ(programs.started.size(), 1u);
    EXPECT_EQ(messageBox.shown.size(), 1u);
}

// ---- the registry reader ----

struct KeyValue : About {
    std::u16string val = u"before";
    bool read(const FakeRegValue& v) {
        registry.keys["K"]["V"] = v;
        return about.GetKeyValue(HKEY_LOCAL_MACHINE, u"K", u"V", val);
    }
};

TEST_F(KeyValue, StringsLoseOnlyTheirTerminator) {
    EXPECT_TRUE(read(regSz("C:\\a b")));
    EXPECT_TRUE(val == u"C:\\a b");
    EXPECT_TRUE(read(regSz("C:\\a b", false)));
    EXPECT_TRUE(val == u"C:\\a b") << "without a terminator every character stays";
    EXPECT_TRUE(read({REG_SZ, {'a', 'b', 0, 0}}));
    EXPECT_TRUE(val == std::u16string(u"ab\0", 3)) << "only the last zero byte is dropped";
    EXPECT_TRUE(read(regSz("\xE6\x83\x85\xE5\xA0\xB1")));
    EXPECT_TRUE(val == u"情報");
    EXPECT_EQ(registry.bufferSizes.back(), 1024u);
    EXPECT_TRUE(registry.cleanBuffers) << "every read gets a zeroed buffer";
    expectAllKeysClosed();
}

TEST_F(KeyValue, TheBufferHolds1024BytesAndNoMore) {
    EXPECT_TRUE(read(regSz(std::string(1023, 'x'))));
    EXPECT_EQ(val.size(), 1023u);
    EXPECT_FALSE(read(regSz(std::string(1024, 'x'))));
    EXPECT_TRUE(val.empty());
    expectAllKeysClosed();
}

TEST_F(KeyValue, DwordsAreWrittenAsHexThenAsTheirNumber) {
    const std::uint8_t bytes261[] = {0x05, 0x01, 0x00};  // 261 after the final zero byte is dropped
    EXPECT_EQ(regDwordLiteral(bytes261, 3), u"&h000105");
    const std::uint8_t full[] = {0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(regDwordLiteral(full, 4), u"&h12345678");

    EXPECT_TRUE(read(regDword(261)));
    EXPECT_TRUE(val == u"261");
    EXPECT_TRUE(read(regDword(0x12345678)));
    EXPECT_TRUE(val == u"305419896");
    EXPECT_TRUE(read(regDword(0xFFFFFFFF)));
    EXPECT_TRUE(val == u"4294967295");
    EXPECT_TRUE(read(regDword(0x100)));
    EXPECT_TRUE(val == u"256");
    EXPECT_THROW(formatHexLiteral(u"&h100000000"), std::overflow_error);
    EXPECT_THROW(formatHexLiteral(u"&h"), std::invalid_argument);
    expectAllKeysClosed();
}

TEST_F(KeyValue, OtherTypesAnswerTrueAndKeepTheValueFromEntry) {
    EXPECT_TRUE(read({REG_BINARY, {1, 2, 3}}));
    EXPECT_TRUE(val == u"before");
    EXPECT_TRUE(read({REG_EXPAND_SZ, {'x', 0}}));
    EXPECT_TRUE(val == u"before");
    expectAllKeysClosed();
}

TEST_F(KeyValue, NotFoundEmptiesTheValueAndClosesWhatWasOpened) {
    registry.keys["K"];
    EXPECT_FALSE(about.GetKeyValue(HKEY_LOCAL_MACHINE, u"K", u"missing", val));
    EXPECT_TRUE(val.empty());
    EXPECT_EQ(registry.closes, 1);

    val = u"before";
    EXPECT_FALSE(about.GetKeyValue(HKEY_LOCAL_MACHINE, u"no such key", u"V", val));
    EXPECT_TRUE(val.empty());
    EXPECT_EQ(registry.closes, 1) << "a key that did not open is not closed";
    expectAllKeysClosed();
}

TEST_F(KeyValue, NoDataRaisesAfterClosingAndKeepsTheValue) {
    EXPECT_THROW(read({REG_SZ, {}}), std::exception);
    EXPECT_TRUE(val == u"before");
    registry.failQuery = true;
    EXPECT_THROW(read(regSz("x")), std::exception);
    expectAllKeysClosed();
}

TEST_F(KeyValue, NamesReachTheRegistryUnchangedAsNarrowText) {
    registry.keys["Soft\xE6\x83\x85"]["\xE5\xA0\xB1"] = regSz("ok");
    const std::u16string key = u"Soft情", name = u"報";
    EXPECT_TRUE(about.GetKeyValue(HKEY_LOCAL_MACHINE, key, name, val));
    EXPECT_TRUE(val == u"ok");
}

}  // namespace
}  // namespace stock::test
