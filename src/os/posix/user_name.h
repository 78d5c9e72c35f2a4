#pragma once

#include "core/ports/user_name.h"

namespace stock {

// The login name of the effective user, from the password database.
class PosixUserName final : public UserName {
public:
    bool getUserName(char* buffer, std::uint32_t& count) override;
};

}  // namespace stock
