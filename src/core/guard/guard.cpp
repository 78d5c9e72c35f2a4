#include "core/guard/guard.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace stock {
namespace {

void toStandardError(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

std::atomic<FailureSink> sink{toStandardError};

std::string whatFailed() {
    const std::exception_ptr failure = std::current_exception();
    if (!failure) return "no exception";
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "an exception that is not a std::exception";
    }
}

}  // namespace

void setFailureSink(FailureSink s) noexcept { sink.store(s ? s : toStandardError); }

void tell(std::string_view message) noexcept {
    try {
        std::string line = "stockkun: ";
        line.append(message);
        for (char& c : line)
            if (c == '\n' || c == '\r') c = ' ';
        line.push_back('\n');
        sink.load()(line);
    } catch (...) {
        // Out of memory for the line itself: nothing more can be said.
    }
}

void reportFailure(std::string_view where) noexcept {
    try {
        tell(std::string(where) + " failed: " + whatFailed());
    } catch (...) {
        // Out of memory for the line itself: nothing more can be said.
    }
}

}  // namespace stock
