#pragma once

#include <string>
#include <vector>

#include "core/ports/registry.h"

namespace stock {

// There is no registry here. This read-only stand-in knows one value: the
// full path of the desktop's system information program, under
// reg::kLocalMachine "SOFTWARE\Microsoft\Shared Tools\MSINFO", value "PATH",
// when one of a short list of such programs is found on PATH. Every other key
// is missing, and asking for more than read rights is refused, as it would be
// for a user without administrator rights.
class PosixRegistry final : public Registry {
public:
    PosixRegistry();
    // programs: the names looked for on PATH, best first.
    explicit PosixRegistry(std::vector<std::string> programs);

    RegStatus openKey(RegKey root, const std::string& subKey, std::uint32_t options, std::uint32_t rights,
                      RegKey& result) override;
    RegStatus queryValue(RegKey key, const std::string& valueName, std::uint32_t& type, std::uint8_t* data,
                         std::uint32_t& size) override;
    RegStatus closeKey(RegKey key) override;

    // The first of the programs found as an executable file in an absolute
    // folder of PATH; empty when none is.
    std::string findSystemInformationProgram() const;

private:
    std::vector<std::string> programs_;
    int openKeys_ = 0;
};

}  // namespace stock
