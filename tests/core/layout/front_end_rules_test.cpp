// What every front end does with the layout tables and with the edits its
// text boxes make by themselves, written once in the core.
#include <gtest/gtest.h>

#include "core/layout/layout.h"
#include "core/text/box_edit.h"
#include "core/text/text_map.h"

namespace stock {
namespace {

std::vector<MenuSpec> menuOfLevels(std::initializer_list<int> levels) {
    std::vector<MenuSpec> menu;
    for (const int level : levels) menu.push_back({std::to_string(menu.size()), u"x", level});
    return menu;
}

// An entry nests under the last entry before it of a smaller level, even
// when levels are skipped or climbed back by more than one.
TEST(MenuTree, EachEntryNestsUnderTheLastShallowerEntry) {
    const auto tree = menuOfLevels({1, 2, 3, 3, 2, 1, 3, 2, 4});
    const std::vector<MenuNode> t = menuTree(tree);
    const std::size_t parents[] = {kMenuBar, 0, 1, 1, 0, kMenuBar, 5, 5, 7};
    const std::size_t ends[] = {5, 4, 3, 4, 5, 9, 7, 9, 9};
    ASSERT_EQ(t.size(), std::size(parents));
    for (std::size_t i = 0; i < t.size(); ++i) {
        EXPECT_EQ(t[i].parent, parents[i]) << "entry " << i;
        EXPECT_EQ(t[i].end, ends[i]) << "entry " << i;
    }
}

// Buttons, lists and text boxes with a tab index, by tab index (ties as
// listed); everything else after them as listed.
TEST(FocusOrder, StopsByTabIndexThenTheRestAsListed) {
    FormSpec form;
    form.controls = {makeControl("label", ControlKind::Label, u"", 0, 0, 1, 1, 0),
                     makeControl("ok", ControlKind::Button, u"", 0, 0, 1, 1, 2),
                     makeControl("box", ControlKind::TextBox, u"", 0, 0, 1, 1, 1),
                     makeControl("timer", ControlKind::Timer, u"", 0, 0, 1, 1, 0),
                     makeControl("list", ControlKind::ListBox, u"", 0, 0, 1, 1, -1),
                     makeControl("cut", ControlKind::Button, u"", 0, 0, 1, 1, 1)};
    std::vector<std::string> all;
    for (const ControlSpec* c : inFocusOrder(form)) all.push_back(c->name);
    EXPECT_EQ(all, (std::vector<std::string>{"box", "cut", "ok", "label", "timer", "list"}));
    EXPECT_EQ(focusOrder(form), (std::vector<std::string>{"box", "cut", "ok"}));
}

TEST(Twips, PerPixelFromTheDpiAndPixelsBackToTheNearestTwip) {
    EXPECT_EQ(twipsPerPixelAt(96), 15.0);
    EXPECT_EQ(twipsPerPixelAt(144), 10.0);
    EXPECT_EQ(twipsPerPixelAt(0), 15.0) << "an unknown DPI counts as 96";
    EXPECT_EQ(pixelsToTwips(3, 12.5), 38) << "to the nearest twip, halves up";
    EXPECT_EQ(pixelsToTwips(-3, 12.5), -38) << "a place left of the screen";
    for (const double tpp : {15.0, 12.0, 1440.0 / 168})
        for (int p = -50; p < 50; p += 7) EXPECT_EQ(twipsToPixels(pixelsToTwips(p, tpp), tpp), p) << tpp;
    EXPECT_EQ(twipsToPixels(7225, 15.0), 482) << "to the nearest pixel, not truncated";
    // Edges round on their own, so touching controls still touch.
    const PixelRect cut = twipsToPixels(0, 5160, 1320, 255, 12.0), copy = twipsToPixels(1320, 5160, 1215, 255, 12.0);
    EXPECT_EQ(cut.x + cut.w, copy.x);
}

// A box that shows each line break as U+2029 and types LF, as the Qt box.
ExactEdit typed(std::u16string_view exact, std::size_t at, std::size_t removed, std::u16string_view added) {
    return applyBoxEdit(exact, BoxEdit{at, removed, added}, u'\u2029', u"\n");
}

// The box's edit lands on the exact code units it shows: CR LF and lone CR
// elsewhere untouched, a break removed whole, a pair removed whole, edits at
// both ends; and the part shown again gives the new display form.
TEST(BoxEdit, LandsOnTheExactUnitsAndKeepsBreaksAndPairsElsewhere) {
    const std::u16string exact = u"a\r\nb\rc\U0001F600";  // shown: a|b|c + pair
    EXPECT_EQ(typed(exact, 0, 0, u"<").text, u"<a\r\nb\rc\U0001F600");
    EXPECT_EQ(typed(exact, 2, 0, u"x").text, u"a\r\nxb\rc\U0001F600") << "after CR LF, not inside it";
    EXPECT_EQ(typed(exact, 1, 1, u"").text, u"ab\rc\U0001F600") << "CR LF removed whole";
    EXPECT_EQ(typed(exact, 5, 2, u"").text, u"a\r\nb\rc") << "the pair removed whole, at the end";
    EXPECT_EQ(typed(exact, 7, 0, u"\u2029z").text, exact + u"\nz") << "a typed break is an LF";
    const ExactEdit e = typed(exact, 4, 1, u"yy");
    EXPECT_EQ(std::tie(e.text, e.from, e.to, e.inserted),
              std::make_tuple(std::u16string(u"a\r\nb\ryy\U0001F600"), 5u, 6u, std::u16string(u"yy")));
    const Reshow& r = e.reshow;
    EXPECT_EQ(spliced(toDisplay(exact), r.shownFrom, r.shownTo, shownSpan(e.text, r.from, r.newTo)), toDisplay(e.text));
    // The Win32 box shows a break as CR and types CR LF.
    EXPECT_EQ(applyBoxEdit(u"a\nb", BoxEdit{1, 1, u"\r"}, u'\r', u"\r\n").text, u"a\r\nb");
}

// The run a box changed, from what it showed before and after: the longest
// common start, then the longest common end of the rest.
TEST(BoxEdit, ChangedRunLiesBetweenTheCommonStartAndEnd) {
    auto run = [](std::u16string_view a, std::u16string_view b) {
        const BoxEdit e = changedRun(a, b);
        return std::make_tuple(e.position, e.removed, std::u16string(e.added));
    };
    EXPECT_EQ(run(u"abXcd", u"abYYcd"), std::make_tuple(2u, 1u, std::u16string(u"YY")));
    EXPECT_EQ(run(u"aa", u"aaa"), std::make_tuple(2u, 0u, std::u16string(u"a")));
    EXPECT_EQ(run(u"aaa", u"a"), std::make_tuple(1u, 2u, std::u16string()));
    EXPECT_EQ(run(u"", u"xy"), std::make_tuple(0u, 0u, std::u16string(u"xy")));
    EXPECT_EQ(run(u"xy", u"xy"), std::make_tuple(2u, 0u, std::u16string()));
}

}  // namespace
}  // namespace stock
