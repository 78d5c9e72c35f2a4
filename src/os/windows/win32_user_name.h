#pragma once

#include "core/ports/user_name.h"

namespace stock::win32 {

// GetUserNameA; the name is handed on in the core's narrow encoding.
class Win32UserName final : public UserName {
public:
    bool getUserName(char* buffer, std::uint32_t& count) override;
};

}  // namespace stock::win32
