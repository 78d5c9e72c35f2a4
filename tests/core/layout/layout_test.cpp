#include "core/layout/layout.h"

#include <gtest/gtest.h>

namespace stock {
namespace {

TEST(Twips, EdgesRoundOnTheirOwnSoTouchingControlsStillTouch) {
    EXPECT_EQ(twipsToPixels(7225, 15.0), 482) << "to the nearest pixel, not truncated";
    const PixelRect a = twipsToPixels(0, 5160, 1320, 255, 12.0);     // Cut
    const PixelRect b = twipsToPixels(1320, 5160, 1215, 255, 12.0);  // Copy
    EXPECT_EQ(a.x + a.w, b.x);
}

}  // namespace
}  // namespace stock
