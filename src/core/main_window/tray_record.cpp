#include "core/main_window/tray_record.h"

#include <algorithm>

namespace stock {
namespace {

void put32(TrayRecord& record, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) record[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

TrayRecord buildTrayRecord(std::uint32_t window, std::uint32_t icon, std::string_view tipBytes) {
    TrayRecord record{};
    put32(record, 0, static_cast<std::uint32_t>(kTrayRecordSize));
    put32(record, 4, window);
    put32(record, 8, kTrayIconId);
    put32(record, 12, kTrayFlags);
    put32(record, 16, kTrayCallbackMessage);
    put32(record, 20, icon);
    // The last byte of the field stays zero: a tip as long as the field or
    // longer is cut, never left without its end.
    const std::size_t n = std::min(tipBytes.size(), kTrayTipSize - 1);
    std::copy_n(tipBytes.begin(), n, record.begin() + kTrayTipOffset);
    return record;
}

std::uint32_t trayRecordField(const TrayRecord& record, std::size_t offset) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(record[offset + i]) << (8 * i);
    return v;
}

}  // namespace stock
