#pragma once

#include "core/ports/shell.h"

namespace stock {

// Programs on the local disk, started as detached processes.
class PosixPrograms final : public Programs {
public:
    bool isFile(const std::u16string& path) override;
    // Runs the file itself (no shell, no search on PATH, no splitting) in a
    // process that the caller never waits for and that outlives it. Throws
    // std::system_error when the file cannot be run.
    void start(const std::u16string& path) override;
};

}  // namespace stock
