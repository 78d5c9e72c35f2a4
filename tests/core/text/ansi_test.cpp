// The narrow (ANSI) conversions, which are UTF-8 here, and the one UTF-8
// decoder behind them.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "core/text/ansi.h"

namespace stock {
namespace {

constexpr char16_t R = 0xFFFD;

TEST(AnsiConversion, RoundTripsEveryKindOfCharacterAndTurnsLoneSurrogatesIntoReplacements) {
    const std::u16string text(u"a\0\r\n\u00E9\u0800すと\uFFFF\U0001F600\U0010FFFF", 13);
    const std::string bytes = toAnsi(text);
    EXPECT_EQ(bytes, std::string("a\0\r\n\xC3\xA9\xE0\xA0\x80\xE3\x81\x99\xE3\x81\xA8\xEF\xBF\xBF\xF0\x9F\x98\x80"
                                 "\xF4\x8F\xBF\xBF",
                                 26));
    EXPECT_EQ(fromAnsi(bytes), text);
    const std::string r = "\xEF\xBF\xBD";
    EXPECT_EQ(toAnsi(std::u16string{0xD83D, 0xD83D, 0xDE00, u'b'}), r + "\xF0\x9F\x98\x80" + "b");
    EXPECT_EQ(toAnsi(std::u16string{0xDE00, 0xD83D}), r + r) << "a pair in the wrong order";
}

// One U+FFFD per maximal subpart of an ill-formed sequence.
TEST(AnsiConversion, DecodesUtf8WithOneReplacementPerMaximalSubpart) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"\xED\xA0\x80", {R, R, R}},         // a surrogate's encoding
        {"\xF4\x90\x80\x80", {R, R, R, R}},  // above U+10FFFF
        {"\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64", {u'a', R, R, R, u'b', R, u'c', R, R, u'd'}},
        {"\xC0\xAF|\xE0\x80\xAF|\xF0\x80\x80\xAF", {R, R, u'|', R, R, R, u'|', R, R, R, R}},  // overlong
        {"\xF5\xFE\xFF", {R, R, R}},
        {"x\xE2\x82", {u'x', R}},  // cut short at the end
        {"\xE3\x81\xE3\x81\x99", {R, u'す'}},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(fromAnsi(bytes), text) << bytes;
}

}  // namespace
}  // namespace stock
