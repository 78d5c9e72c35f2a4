// The reader's logic without an X server: which text a read gets when the
// owner changes under a fetch, a fetch fails or own writes overtake each
// other (outcomes the fuzzer cannot judge), and whole texts decoded (the INCR fuzzer checks that any split into
// pieces gives the same; UTF-8 is checked with the narrow conversions).
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/x11/selection_state.h"
#include "platform/x11/text_decoding.h"

namespace stock::x11 {
namespace {

constexpr std::uint32_t kForeign = 0x0200001;

std::optional<std::u16string> text(SelectionState& s) {
    const auto r = s.read();
    return r.text ? std::optional(r.text->str()) : std::nullopt;
}

// A foreign owner takes the clipboard and a read asks for its text: the
// fetch handed to the reader thread (0 when there is none).
std::uint64_t newOwnerRead(SelectionState& s, std::uint32_t owner = kForeign) {
    s.ownerChanged(owner, false);
    EXPECT_EQ(text(s), std::nullopt);
    return s.takeFetch().value_or(0);
}

TEST(SelectionState, AFetchForAnOlderOwnerIsDroppedAndAFailedOneRetriedOncePerRead) {
    SelectionState s;
    const auto old = newOwnerRead(s);
    const auto g = newOwnerRead(s, kForeign + 1);  // changed again before the fetch ended
    EXPECT_FALSE(s.wanted(old));
    s.fetched(old, u"stale");
    EXPECT_EQ(text(s), std::nullopt);
    s.failed(g);
    EXPECT_FALSE(s.takeFetch()) << "no retry until someone reads";
    EXPECT_TRUE(s.read().wakeReader);
    const auto retry = s.takeFetch().value_or(0);
    EXPECT_FALSE(s.read().wakeReader) << "a second retry while the first runs";
    s.fetched(retry, u"new");
    EXPECT_EQ(text(s), u"new");
}

// A write's own owner change that arrives after a later write keeps the later
// write's text: the server's order of owners decides.
TEST(SelectionState, AnEarlierWritesOwnerChangeKeepsTheNewestWrite) {
    SelectionState s;
    s.ownWriteBegun(u"first");
    s.ownWriteBegun(u"second");
    s.ownerChanged(0x0400001, true);
    EXPECT_EQ(text(s), u"second");
}

TEST(TextDecoding, Latin1BytesAreTheirOwnCodePoints) {
    std::u16string text;
    TextDecoder(TextDecoder::Encoding::Latin1).feed(std::string("a\xE9\xFF\x80\0", 5), text);
    EXPECT_EQ(text, (std::u16string{u'a', 0xE9, 0xFF, 0x80, 0}));
}

TEST(TextDecoding, CompoundText) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"a\tb\nc\xE9\xFF", u"a\tb\nc\u00E9\u00FF"},  // ASCII and Latin-1 by default
        {"\x1b$)B\xA4\xB9\xA4\xC8x", u"すとx"},       // JIS X 0208 on the right
        {"\x1b$(B\x24\x39\x30\x21 \x1b(Bx", u"す亜 x"},
        {"\x1b$B\x24\x39\x1b(B!", u"す!"},  // the old designation
        {"\x1b$)B\xA1\xC1\xA1\xC0", u"\u301C\uFF3C"},
        {"\x1b)I\xB1\xDF\x1b(J\\~", u"\uFF71\uFF9F\u00A5\u203E"},  // JIS X 0201
        {"\x1b-L\xC0\x1b-F\xE1\x1b-B\xA1\x1b-b\xA4\x1b-H\xE0\x1b-A\xE9", u"\u0420\u03B1\u0104\u20AC\u05D0\u00E9"},
        {"a\x1b%G\xE3\x81\x99\xF0\x9F\x98\x80\x1b%@\xE9", u"aす\U0001F600\u00E9"},  // a UTF-8 segment
        {"\x1b%G\xE3\x81\x1b%@x", u"\uFFFDx"},
        {std::string("\x1b%/1\x80\x89utf-8\x02\xE3\x81\x99x", 16), u"すx"},  // an extended segment
        {"\x9B"
         "1]ab\x9B]",
         u"ab"},                                              // direction sequences are skipped
        {"\x1b$)C\xB0\xA1z", u"\uFFFDz"},                     // an unknown double-byte set
        {"\x1b$)B\xA4\x1b(Bz\x1b$)B\xA4", u"\uFFFDz\uFFFD"},  // a lead byte cut short
        {"\x1b$)B\xA2\xAF", u"\uFFFD"},                       // an unassigned JIS code
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(decodeCompoundText(bytes), text) << testing::PrintToString(bytes);
}

}  // namespace
}  // namespace stock::x11
