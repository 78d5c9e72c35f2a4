// What the About window computes: the user name it shows, the registry values
// it reads as text, and the path of the system information tool it starts.
#include <gtest/gtest.h>

#include "core/about/frm_about.h"
#include "support/about_fakes.h"

namespace stock::test {
namespace {

const std::string kLookup1 = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kLookup2 = "SOFTWARE\\Microsoft\\Shared Tools Location";

struct About : ::testing::Test, AboutDoubles {
    FrmAbout about{{fakeUi, lifetime, userName, shell, programs, registry, messageBox}};
};

TEST_F(About, TheUserNameEndsAtItsFirstNulAndAFailedLookupShowsQuestionMarks) {
    const std::pair<std::string, std::u16string> cases[] = {
        {std::string("bob\0xyz", 8), u"bob"},
        {std::string("\xE5\xB1\xB1\xE7\x94\xB0", 7), u"山田"},
    };
    for (const auto& [written, shown] : cases) {
        userName.written = written;
        about.show();
        EXPECT_EQ(about.window().textBox("txtUserName").text(), shown);
        about.unload();
    }
    userName.fail = true;
    about.show();
    EXPECT_EQ(about.window().textBox("txtUserName").text(), u"???");
}

TEST_F(About, RegistryValuesAreReadAsTextThatFitsIn1024Bytes) {
    const auto expectRead = [&](const FakeRegValue& value, bool found, const std::u16string& text) {
        registry.keys["K"]["V"] = value;
        std::u16string read = u"kept";
        EXPECT_EQ(about.GetKeyValue(reg::kLocalMachine, u"K", u"V", read), found);
        EXPECT_EQ(read, text);
    };
    expectRead(regSz("C:\\a b"), true, u"C:\\a b");
    expectRead({reg::kSz, {'a', 'b'}}, true, u"ab");  // without a terminator every character stays
    expectRead({reg::kSz, {'a', 'b', 0, 0}}, true, std::u16string(u"ab\0", 3));
    expectRead(regSz("\xE6\x83\x85\xE5\xA0\xB1"), true, u"情報");
    expectRead(regSz(std::string(1023, 'x')), true, std::u16string(1023, u'x'));
    expectRead(regSz(std::string(1024, 'x')), false, u"");
    expectRead({reg::kDword, {0x05, 0x01, 0x00, 0x00}}, true, u"261");
    expectRead({reg::kDword, {0xFF, 0xFF, 0xFF, 0xFF}}, true, u"4294967295");
    expectRead({reg::kBinary, {1, 2, 3}}, true, u"kept");  // read, but not as text
    EXPECT_TRUE(registry.openKeys.empty()) << "every key opened is closed";
}

TEST_F(About, SysInfoStartsLookup1sPathElseLookup2sFolderAsStoredWithTheFileNameElseShowsItsMessage) {
    about.StartSysInfo();  // nothing registered
    registry.keys[kLookup2]["MSINFO"] = regSz("C:\\Tools");
    about.StartSysInfo();  // the folder without the file
    programs.files = {u"C:\\Program Files\\msinfo32.exe", u"C:\\Tools\\MSINFO32.EXE", u"C:\\Tools\\\\MSINFO32.EXE"};
    about.StartSysInfo();  // the folder and the file name
    registry.keys[kLookup2]["MSINFO"] = regSz("C:\\Tools\\");
    about.StartSysInfo();  // no separator added or removed
    registry.keys[kLookup1]["PATH"] = regSz("C:\\Program Files\\msinfo32.exe");
    about.StartSysInfo();  // lookup 1 first, a path with spaces whole
    registry.keys[kLookup1]["PATH"] = regSz("C:\\gone\\msinfo32.exe");
    about.StartSysInfo();  // lookup 1's path is gone: no falling back to lookup 2
    EXPECT_EQ(programs.started, (std::vector<std::u16string>{u"C:\\Tools\\MSINFO32.EXE", u"C:\\Tools\\\\MSINFO32.EXE",
                                                             u"C:\\Program Files\\msinfo32.exe"}));
    EXPECT_EQ(messageBox.shown.size(), 3u);
}

}  // namespace
}  // namespace stock::test
