// The machine's settings store with the Windows registry's semantics: a key
// is opened with the rights asked for, a value is read into a caller's
// buffer with an in/out size, and every opened key is closed again.
#pragma once

#include <cstdint>
#include <string>

namespace stock {

using RegKey = std::uintptr_t;
using RegStatus = std::int32_t;

// Names of their own: the system headers of Windows define the registry's
// names as macros.
namespace reg {
inline constexpr RegKey kLocalMachine = 0x80000002u;

inline constexpr RegStatus kSuccess = 0;
inline constexpr RegStatus kFileNotFound = 2;
inline constexpr RegStatus kAccessDenied = 5;
inline constexpr RegStatus kInvalidHandle = 6;
inline constexpr RegStatus kMoreData = 234;

// Access rights.
inline constexpr std::uint32_t kQueryValue = 0x0001;
inline constexpr std::uint32_t kEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kNotify = 0x0010;
inline constexpr std::uint32_t kReadControl = 0x20000;
inline constexpr std::uint32_t kRead = 0x20019;

// Value types.
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kSz = 1;
inline constexpr std::uint32_t kExpandSz = 2;
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDword = 4;
}  // namespace reg

class Registry {
public:
    virtual ~Registry() = default;
    // Opens subKey (ANSI text) below root. On reg::kSuccess `result` holds
    // the opened key, which must be closed with closeKey.
    virtual RegStatus openKey(RegKey root, const std::string& subKey, std::uint32_t options, std::uint32_t rights,
                              RegKey& result) = 0;
    // Reads the value named `valueName` (ANSI text). `size` holds the
    // buffer's size on entry and the value's size in bytes on return. A value
    // larger than the buffer answers reg::kMoreData and leaves the buffer as
    // it was.
    virtual RegStatus queryValue(RegKey key, const std::string& valueName, std::uint32_t& type, std::uint8_t* data,
                                 std::uint32_t& size) = 0;
    virtual RegStatus closeKey(RegKey key) = 0;
};

}  // namespace stock
