// Which text a read gets when the owner changes under a fetch, a fetch fails
// or own writes overtake each other: outcomes the fuzzer cannot judge.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "os/selection/selection_state.h"

namespace stock::selection {
namespace {

constexpr std::uint32_t kForeign = 0x0200001;

std::optional<std::u16string> text(SelectionState& s) {
    const auto r = s.read();
    return r.text ? std::optional(r.text->str()) : std::nullopt;
}

// A foreign owner takes the clipboard: the fetch handed to the reader
// thread at once (0 when there is none).
std::uint64_t newOwner(SelectionState& s, std::uint32_t owner = kForeign) {
    s.ownerChanged(owner, false);
    return s.takeFetch().value_or(0);
}

// While owners keep coming, each read still gets the newest text fetched
// completely, once: a fetch that a newer owner overtook finishes and is the
// read's text; once answered and overtaken, it reads busy.
TEST(SelectionState, AnOvertakenFetchIsStillTheNextReadsTextAndTheNewestIsFetchedNext) {
    SelectionState s;
    const auto first = newOwner(s);
    ASSERT_NE(first, 0u);
    EXPECT_EQ(text(s), std::nullopt);
    s.ownerChanged(kForeign + 1, false);  // the reader keeps on with `first`
    EXPECT_TRUE(s.wanted(first));
    s.fetched(first, u"first");
    EXPECT_EQ(text(s), u"first");
    EXPECT_EQ(text(s), u"first") << "a second read of the same tick";
    const auto second = s.takeFetch().value_or(0);
    ASSERT_GT(second, first);
    s.ownerChanged(kForeign + 2, false);
    EXPECT_EQ(text(s), std::nullopt) << "an answered text, overtaken, read again";
    s.fetched(second, u"second");
    EXPECT_FALSE(s.wanted(first));
    s.fetched(first, u"stale");
    EXPECT_EQ(text(s), u"second") << "an older owner's text came back";
    const auto third = s.takeFetch().value_or(0);
    s.failed(third);
    EXPECT_FALSE(s.takeFetch()) << "no retry until someone reads";
    EXPECT_TRUE(s.read().wakeReader);
    const auto retry = s.takeFetch().value_or(0);
    EXPECT_FALSE(s.read().wakeReader) << "a second retry while the first runs";
    s.fetched(retry, u"third");
    EXPECT_EQ(text(s), u"third");
}

// A fetched text that no read has taken yet holds the next fetch back for a
// moment (a burst of copies costs a few transfers a second); its read, or
// the moment's end, lets it go, and a paste never waits.
TEST(SelectionState, AFetchWaitsAMomentWhileTheLastTextWaitsForItsRead) {
    SelectionState s;
    s.fetched(newOwner(s), u"first");
    s.ownerChanged(kForeign + 1, false);
    const auto now = SelectionState::Clock::now();
    EXPECT_FALSE(s.takeFetch(now));
    ASSERT_TRUE(s.heldBackUntil(now));
    EXPECT_TRUE(s.takeFetch(*s.heldBackUntil(now))) << "still held back once the moment is over";
    s.fetched(s.generation(), u"second");
    s.ownerChanged(kForeign + 2, false);
    EXPECT_FALSE(s.takeFetch(now));
    EXPECT_TRUE(s.read().wakeReader) << "the read that takes the text lets the fetch go";
    EXPECT_TRUE(s.takeFetch(now));
    s.fetched(s.generation(), u"third");
    s.ownerChanged(kForeign + 3, false);
    EXPECT_TRUE(s.requestPaste().wakeReader);
    EXPECT_TRUE(s.takeFetch(now)) << "a paste waited";
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

}  // namespace
}  // namespace stock::selection
