// The machine's settings store with the Windows registry's semantics: a key
// is opened with the rights asked for, a value is read into a caller's
// buffer with an in/out size, and every opened key is closed again.
#pragma once

#include <cstdint>
#include <string>

namespace stock {

using RegKey = std::uintptr_t;
using RegStatus = std::int32_t;

inline constexpr RegKey HKEY_LOCAL_MACHINE = 0x80000002u;

inline constexpr RegStatus ERROR_SUCCESS = 0;
inline constexpr RegStatus ERROR_FILE_NOT_FOUND = 2;
inline constexpr RegStatus ERROR_ACCESS_DENIED = 5;
inline constexpr RegStatus ERROR_INVALID_HANDLE = 6;
inline constexpr RegStatus ERROR_MORE_DATA = 234;

// Access rights.
inline constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr std::uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr std::uint32_t KEY_NOTIFY = 0x0010;
inline constexpr std::uint32_t READ_CONTROL = 0x20000;
inline constexpr std::uint32_t KEY_READ = 0x20019;

// Value types.
inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;

class Registry {
public:
    virtual ~Registry() = default;
    // Opens subKey (ANSI text) below root. On ERROR_SUCCESS `result` holds
    // the opened key, which must be closed with closeKey.
    virtual RegStatus openKey(RegKey root, const std::string& subKey, std::uint32_t options, std::uint32_t rights,
                              RegKey& result) = 0;
    // Reads the value named `valueName` (ANSI text). `size` holds the
    // buffer's size on entry and the value's size in bytes on return. A value
    // larger than the buffer answers ERROR_MORE_DATA and leaves the buffer as
    // it was.
    virtual RegStatus queryValue(RegKey key, const std::string& valueName, std::uint32_t& type, std::uint8_t* data,
                                 std::uint32_t& size) = 0;
    virtual RegStatus closeKey(RegKey key) = 0;
};

}  // namespace stock
