#pragma once

#include "core/ports/registry.h"

namespace stock::win32 {

// The real registry through RegOpenKeyExA / RegQueryValueExA / RegCloseKey.
// Names and string values cross in the ANSI code page; the core sees them in
// its own narrow encoding, with sizes counted in that encoding.
class Win32Registry final : public Registry {
public:
    RegStatus openKey(RegKey root, const std::string& subKey, std::uint32_t options, std::uint32_t rights,
                      RegKey& result) override;
    RegStatus queryValue(RegKey key, const std::string& valueName, std::uint32_t& type, std::uint8_t* data,
                         std::uint32_t& size) override;
    RegStatus closeKey(RegKey key) override;
};

}  // namespace stock::win32
