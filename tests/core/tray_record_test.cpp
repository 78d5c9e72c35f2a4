// The tray icon's registration record, byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "main_window/tray_record.h"

namespace stock {
namespace {

// "すとっくん" and its terminating zero in code page 932.
const std::string kTipCp932("\x82\xB7\x82\xC6\x82\xC1\x82\xAD\x82\xF1", 11);

TEST(TrayRecord, HeaderFieldsAreLittleEndianAtTheirOffsets) {
    const TrayRecord r = buildTrayRecord(0x00010ABCu, 0x12345678u, kTipCp932);
    ASSERT_EQ(r.size(), 89u);
    // Every field's bytes are checked below; these read two of them back.
    EXPECT_EQ(trayRecordField(r, 4), 0x00010ABCu) << "hWnd";
    EXPECT_EQ(trayRecordField(r, 20), 0x12345678u) << "hIcon";
    const std::uint8_t head[] = {89, 0, 0, 0, 0xBC, 0x0A, 0x01, 0, 1,    0,    0,    0,
                                 7,  0, 0, 0, 0,    2,    0,    0, 0x78, 0x56, 0x34, 0x12};
    for (std::size_t i = 0; i < sizeof head; ++i) EXPECT_EQ(r[i], head[i]) << "byte " << i;
}

TEST(TrayRecord, JapaneseTipTakesElevenBytesAndTheRestIsZeroAsWithoutATip) {
    const TrayRecord r = buildTrayRecord(1, 2, kTipCp932);
    for (std::size_t i = 0; i < 11; ++i)
        EXPECT_EQ(r[24 + i], static_cast<std::uint8_t>(kTipCp932[i])) << "tip byte " << i;
    EXPECT_EQ(r[34], 0) << "the terminating zero";
    for (std::size_t i = 35; i < 89; ++i) EXPECT_EQ(r[i], 0) << "byte " << i;
    const TrayRecord empty = buildTrayRecord(0, 0, {});
    for (std::size_t i = 24; i < 89; ++i) EXPECT_EQ(empty[i], 0) << "an empty tip, byte " << i;
}

TEST(TrayRecord, LongTipStopsInsideItsFieldAndStaysTerminated) {
    const std::string tip(200, 'x');
    const TrayRecord r = buildTrayRecord(1, 2, tip);
    for (std::size_t i = 24; i < 88; ++i) EXPECT_EQ(r[i], 'x') << "byte " << i;
    EXPECT_EQ(r[88], 0) << "index 64 of the tip ends it";
    // Exactly 65 bytes, the zero not among them, is cut the same way.
    EXPECT_EQ(buildTrayRecord(1, 2, std::string(65, 'y'))[88], 0);
    // 64 bytes and the zero fit exactly.
    const TrayRecord fits = buildTrayRecord(1, 2, std::string(64, 'z') + '\0');
    EXPECT_EQ(fits[87], 'z');
    EXPECT_EQ(fits[88], 0);
}

}  // namespace
}  // namespace stock
