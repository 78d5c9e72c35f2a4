#include <gtest/gtest.h>

#include "platform/x11/selection_state.h"

namespace stock::x11 {
namespace {

constexpr std::uint32_t kForeign = 0x0200001;
constexpr std::uint32_t kOwn = 0x0400001;
const auto kSoon = std::chrono::seconds(5);

std::optional<std::u16string> text(SelectionState& s) {
    auto r = s.read();
    if (!r.text) return std::nullopt;
    return r.text->str();
}

// A foreign owner takes the clipboard and a read asks for its text: the
// fetch handed to the reader thread.
std::optional<std::uint64_t> newOwnerRead(SelectionState& s, std::uint32_t owner = kForeign) {
    s.ownerChanged(owner, false);
    if (s.read().text) return std::nullopt;
    return s.takeFetch();
}

// A state whose clipboard a foreign owner filled with `t`.
void fetchFrom(SelectionState& s, const std::u16string& t) {
    auto g = newOwnerRead(s);
    ASSERT_TRUE(g);
    s.fetched(*g, t);
}

TEST(SelectionStateFetching, OwnerChangeDropsTheFetchUnderWay) {
    SelectionState s;
    fetchFrom(s, u"old");
    auto g1 = newOwnerRead(s);
    ASSERT_TRUE(g1) << "the old text is gone with its owner";
    s.ownerChanged(kForeign + 1, false);  // changed again before the fetch ended
    EXPECT_FALSE(s.wanted(*g1));
    EXPECT_EQ(text(s), std::nullopt);
    auto g2 = s.takeFetch();
    ASSERT_TRUE(g2);
    s.fetched(*g1, u"stale");
    EXPECT_EQ(text(s), std::nullopt);
    s.fetched(*g2, u"new");
    EXPECT_EQ(text(s), u"new");
}

TEST(SelectionStateFailures, FailedFetchIsBusyAndRetriedOncePerRead) {
    SelectionState s;
    auto g = newOwnerRead(s);
    s.failed(*g);
    EXPECT_FALSE(s.takeFetch()) << "no retry until someone reads";
    auto r = s.read();
    EXPECT_EQ(r.text, std::nullopt);
    EXPECT_TRUE(r.wakeReader);
    auto retry = s.takeFetch();
    ASSERT_TRUE(retry);
    EXPECT_NE(*retry, *g);
    r = s.read();  // while the retry runs
    EXPECT_EQ(r.text, std::nullopt);
    EXPECT_FALSE(r.wakeReader);
    s.fetched(*retry, u"late");
    EXPECT_EQ(text(s), u"late");
}

TEST(SelectionStateFailures, SecretIsBusyAndNotRetried) {
    SelectionState s;
    fetchFrom(s, u"before");
    s.secretFound(*newOwnerRead(s));
    auto r = s.read();
    EXPECT_EQ(r.text, std::nullopt);
    EXPECT_FALSE(r.wakeReader);
    EXPECT_FALSE(s.takeFetch());
    fetchFrom(s, u"after");
    EXPECT_EQ(text(s), u"after");
}

TEST(SelectionStateOwnWrites, ToolkitCopyWithoutAWriteIsFetched) {
    SelectionState s;
    s.ownWriteBegun(u"one");
    s.ownWriteBegun(u"two");
    s.ownerChanged(kOwn, true);
    s.ownerChanged(kOwn, true);
    EXPECT_EQ(text(s), u"two");
    EXPECT_FALSE(s.takeFetch());
    s.ownerChanged(kOwn, true);  // e.g. a copy key in a text field
    EXPECT_EQ(text(s), std::nullopt);
    auto g = s.takeFetch();
    ASSERT_TRUE(g);
    s.fetched(*g, u"three");
    EXPECT_EQ(text(s), u"three");
}

TEST(SelectionStateOwnWrites, FollowTheServersOrderOfOwners) {
    SelectionState s;
    s.ownWriteBegun(u"mine");
    s.ownerChanged(kForeign, false);  // a foreign copy the server saw first
    EXPECT_EQ(text(s), std::nullopt);
    auto g = s.takeFetch();
    s.ownerChanged(kOwn, true);  // then our write took over
    EXPECT_FALSE(s.wanted(*g));
    EXPECT_EQ(text(s), u"mine");
}

TEST(SelectionStateOwnWrites, AnEarlierWritesOwnerChangeDoesNotBringItsTextBack) {
    SelectionState s;
    s.ownWriteBegun(u"first");
    s.ownWriteBegun(u"second");
    s.ownerChanged(kOwn, true);  // the first write's change arrives late
    EXPECT_EQ(text(s), u"second");
    s.ownerChanged(kOwn, true);
    EXPECT_EQ(text(s), u"second");
}

TEST(SelectionStateOwnWrites, SupersedeAFetchUnderWay) {
    SelectionState s;
    auto g = newOwnerRead(s);
    s.ownWriteBegun(u"mine");
    EXPECT_FALSE(s.wanted(*g));
    s.fetched(*g, u"old owner's");
    EXPECT_EQ(text(s), u"mine");
}

TEST(SelectionStateOwnWrites, FailedWriteFetchesTheRealClipboard) {
    SelectionState s;
    fetchFrom(s, u"foreign");
    s.ownWriteBegun(u"mine");
    EXPECT_TRUE(s.ownWriteFailed());
    EXPECT_EQ(text(s), std::nullopt);
    ASSERT_TRUE(s.takeFetch());
    s.ownerChanged(kOwn, true);  // not expected any more: fetched like any other
    EXPECT_EQ(text(s), std::nullopt);
    EXPECT_TRUE(s.takeFetch());
}

// The reader's own fetch finds the secret while a paste waits for it.
TEST(SelectionStatePaste, SecretFoundByTheReadsFetchGoesToAWaitingPaste) {
    SelectionState s;
    auto g = newOwnerRead(s);
    s.requestPaste();
    EXPECT_TRUE(s.pasteWanted(*g));
    s.secretFetched(*g, SharedText(u"pw"));
    EXPECT_EQ(s.awaitPaste(SelectionState::Clock::now() + kSoon), u"pw");
    EXPECT_EQ(text(s), std::nullopt);
}

TEST(SelectionStatePaste, SecretFetchThatEndsAfterThePasteGaveUpIsDropped) {
    SelectionState s;
    auto g = newOwnerRead(s);
    s.requestPaste();
    EXPECT_EQ(s.awaitPaste(SelectionState::Clock::now()), std::nullopt);
    EXPECT_FALSE(s.wanted(*g) && s.pasteWanted(*g));
    s.secretFetched(*g, SharedText(u"late"));
    EXPECT_EQ(text(s), std::nullopt);
    EXPECT_FALSE(s.takeFetch()) << "a secret is not fetched again for reads";
}

}  // namespace
}  // namespace stock::x11
