// The record that registers the tray icon, byte for byte: the packed,
// little-endian NOTIFYICONDATA layout with a 65-byte tip, 89 bytes in all.
// It carries window and icon handles as their 32 significant bits (user and
// GDI handles fit in 32 bits, also in a 64-bit process).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace stock {

inline constexpr std::size_t kTrayRecordSize = 89;
inline constexpr std::size_t kTrayTipOffset = 24;
inline constexpr std::size_t kTrayTipSize = 65;
inline constexpr std::uint32_t kTrayIconId = 1;
inline constexpr std::uint32_t kTrayFlags = 7;              // message, icon and tip
inline constexpr std::uint32_t kTrayCallbackMessage = 512;  // the window's mouse-move message

using TrayRecord = std::array<std::uint8_t, kTrayRecordSize>;

// `tipBytes` is the tip already converted to the ANSI code page, with or
// without its terminating zero. At most 64 of its bytes are copied, so the
// tip field always ends with a zero byte; every byte the copy does not reach
// is zero.
TrayRecord buildTrayRecord(std::uint32_t window, std::uint32_t icon, std::string_view tipBytes);

// Little-endian 32-bit field of a record.
std::uint32_t trayRecordField(const TrayRecord& record, std::size_t offset);

}  // namespace stock
