// The POSIX services in the POSIX locale: texts go to the system as UTF-8
// whatever the locale says, and the program's character type can be made
// UTF-8 without touching the user's other settings.
#include <gtest/gtest.h>

#include <langinfo.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/ansi.h"
#include "platform/posix/programs.h"
#include "platform/posix/text_locale.h"
#include "support/scratch.h"

namespace stock::test {
namespace {

namespace fs = std::filesystem;

// The POSIX locale for one test, the previous one back afterwards.
struct PosixLocale {
    std::string saved = std::setlocale(LC_ALL, nullptr);
    PosixLocale() { std::setlocale(LC_ALL, "C"); }
    ~PosixLocale() { std::setlocale(LC_ALL, saved.c_str()); }
};

TEST(PosixLocaleTest, ProgramPathsOutsideAsciiWorkInThePosixLocale) {
    PosixLocale posix;
    ASSERT_STREQ(::nl_langinfo(CODESET), "ANSI_X3.4-1968");

    const ScratchDir scratch("stockkun-locale");
    const fs::path& dir = scratch.dir;
    const std::u16string name = u"情報ツール 😀";
    const std::string bytes = toAnsi(name);
    EXPECT_EQ(bytes, "\xE6\x83\x85\xE5\xA0\xB1\xE3\x83\x84\xE3\x83\xBC\xE3\x83\xAB \xF0\x9F\x98\x80");
    EXPECT_EQ(fromAnsi(bytes), name);

    const fs::path program = dir / bytes, marker = dir / "ran";
    std::ofstream(program) << "#!/bin/sh\ntouch '" << marker.string() << "'\n";
    fs::permissions(program, fs::perms::owner_all);
    const std::u16string path = fromAnsi(dir.string() + "/") + name;

    PosixPrograms programs;
    EXPECT_TRUE(programs.isFile(path));
    ASSERT_NO_THROW(programs.start(path));
    EXPECT_TRUE(eventually([&] { return fs::exists(marker); })) << "the program with a Japanese name did not run";
}

TEST(PosixLocaleTest, OnlyTheCharacterTypeBecomesUtf8) {
    PosixLocale posix;
    useUtf8CharacterType();
    EXPECT_STREQ(::nl_langinfo(CODESET), "UTF-8");
    EXPECT_STREQ(std::setlocale(LC_COLLATE, nullptr), "C");
    EXPECT_STREQ(std::setlocale(LC_MESSAGES, nullptr), "C");

    const std::string utf8 = std::setlocale(LC_CTYPE, nullptr);
    useUtf8CharacterType();
    EXPECT_EQ(std::setlocale(LC_CTYPE, nullptr), utf8) << "a UTF-8 character type stays as it is";
}

}  // namespace
}  // namespace stock::test
