#include "os/windows/win32_registry.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "os/windows/win32_text.h"

namespace stock::win32 {
namespace {

// Predefined keys are 32-bit values, sign-extended in a 64-bit process.
HKEY toHkey(RegKey key) {
    if (key == reg::kLocalMachine) return HKEY_LOCAL_MACHINE;
    return reinterpret_cast<HKEY>(key);
}

}  // namespace

RegStatus Win32Registry::openKey(RegKey root, const std::string& subKey, std::uint32_t options, std::uint32_t rights,
                                 RegKey& result) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(toHkey(root), utf8ToAcp(subKey).c_str(), options, rights, &opened);
    if (status == ERROR_SUCCESS) result = reinterpret_cast<RegKey>(opened);
    return status;
}

RegStatus Win32Registry::queryValue(RegKey key, const std::string& valueName, std::uint32_t& type, std::uint8_t* data,
                                    std::uint32_t& size) {
    const std::string name = utf8ToAcp(valueName);
    DWORD t = 0, n = 0;
    LONG status = RegQueryValueExA(toHkey(key), name.c_str(), nullptr, &t, nullptr, &n);
    if (status != ERROR_SUCCESS) return status;
    std::vector<std::uint8_t> value(n + 2);
    n = static_cast<DWORD>(value.size());
    status = RegQueryValueExA(toHkey(key), name.c_str(), nullptr, &t, value.data(), &n);
    if (status != ERROR_SUCCESS) return status;
    value.resize(n);
    type = t;
    if (t == REG_SZ || t == REG_EXPAND_SZ || t == REG_MULTI_SZ) {
        const std::string converted =
            acpToUtf8(std::string_view(reinterpret_cast<const char*>(value.data()), value.size()));
        value.assign(converted.begin(), converted.end());
    }
    const auto needed = static_cast<std::uint32_t>(value.size());
    if (!data || size < needed) {
        size = needed;
        return data ? ERROR_MORE_DATA : ERROR_SUCCESS;
    }
    if (needed) std::memcpy(data, value.data(), needed);
    size = needed;
    return ERROR_SUCCESS;
}

RegStatus Win32Registry::closeKey(RegKey key) { return RegCloseKey(toHkey(key)); }

}  // namespace stock::win32
