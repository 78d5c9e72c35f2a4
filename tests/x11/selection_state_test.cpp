// Which text a read gets after owner changes, own writes, failures and
// secrets: outcomes the fuzzer cannot judge (it checks that a secret never
// reaches a read, that an own write is read at once and that a burst of
// owners costs one fetch).
#include <gtest/gtest.h>

#include "platform/x11/selection_state.h"

namespace stock::x11 {
namespace {

constexpr std::uint32_t kForeign = 0x0200001;
constexpr std::uint32_t kOwn = 0x0400001;

std::optional<std::u16string> text(SelectionState& s) {
    auto r = s.read();
    if (!r.text) return std::nullopt;
    return r.text->str();
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

// The server's order of owners decides: a write's own owner change keeps the
// newest write's text with no fetch; a foreign owner, or a copy by the
// toolkit with no write of ours waiting, is fetched.
TEST(SelectionState, OwnWritesFollowTheServersOrderOfOwners) {
    SelectionState s;
    const auto old = newOwnerRead(s);
    s.ownWriteBegun(u"first");
    s.fetched(old, u"old owner's");  // superseded by the write
    s.ownWriteBegun(u"second");
    s.ownerChanged(kOwn, true);  // the first write's change: the second is on its way
    EXPECT_EQ(text(s), u"second");
    const auto foreign = newOwnerRead(s);  // a foreign copy the server saw before the second write
    s.ownerChanged(kOwn, true);
    EXPECT_FALSE(s.wanted(foreign));
    EXPECT_EQ(text(s), u"second");
    s.ownerChanged(kOwn, true);  // a copy key in a text field
    EXPECT_EQ(text(s), std::nullopt);
    s.fetched(s.takeFetch().value_or(0), u"three");
    EXPECT_EQ(text(s), u"three");
}

}  // namespace
}  // namespace stock::x11
