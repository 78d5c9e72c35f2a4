// The tray icon's registration record, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "core/main_window/tray_record.h"

namespace stock {
namespace {

TEST(TrayRecord, FieldsAreLittleEndianAtTheirOffsetsAndTheTipStaysTerminated) {
    // "すとっくん" and its terminating zero in code page 932.
    const std::string tip("\x82\xB7\x82\xC6\x82\xC1\x82\xAD\x82\xF1", 11);
    const TrayRecord r = buildTrayRecord(0x00010ABCu, 0x12345678u, tip);
    const std::uint8_t head[] = {89, 0, 0, 0, 0xBC, 0x0A, 0x01, 0, 1,    0,    0,    0,
                                 7,  0, 0, 0, 0,    2,    0,    0, 0x78, 0x56, 0x34, 0x12};
    std::vector<std::uint8_t> expected(89, 0);
    std::copy(std::begin(head), std::end(head), expected.begin());
    std::copy(tip.begin(), tip.end(), expected.begin() + 24);
    EXPECT_EQ(std::vector<std::uint8_t>(r.begin(), r.end()), expected);
    EXPECT_EQ(trayRecordField(r, 4), 0x00010ABCu);

    const TrayRecord cut = buildTrayRecord(1, 2, std::string(200, 'x'));
    EXPECT_EQ(cut[87], 'x');
    EXPECT_EQ(cut[88], 0) << "a tip too long for its field ends inside it";
}

}  // namespace
}  // namespace stock
