#pragma once

#include <exception>
#include <functional>
#include <string_view>

namespace stock {

// Where a swallowed failure is written: one line each. Standard error unless
// a front end sets its own (Windows: the debugger's output).
using FailureSink = void (*)(std::string_view line);
void setFailureSink(FailureSink sink) noexcept;

// Writes "stockkun: WHERE failed: WHAT" for the exception being handled (call
// it inside a catch block) and nothing else; never throws.
void reportFailure(std::string_view where) noexcept;

// Writes "stockkun: MESSAGE" to the same place, one line; never throws.
void tell(std::string_view message) noexcept;

// The floor under every event handler, in the core and in each front end:
// nothing a handler throws reaches the event loop; what it threw is reported
// under the handler's name. Handlers with a recovery step of their own catch
// first. An empty handler does nothing.
template <class... Args>
void callGuarded(std::string_view name, const std::function<void(Args...)>& handler, Args... args) noexcept {
    try {
        if (handler) handler(args...);
    } catch (...) {
        reportFailure(name);
    }
}

// NAME must outlive the handler (a string literal).
inline std::function<void()> guarded(std::string_view name, std::function<void()> handler) {
    return [name, h = std::move(handler)]() noexcept { callGuarded(name, h); };
}

inline std::function<void(int)> guardedEvent(std::string_view name, std::function<void(int)> handler) {
    return [name, h = std::move(handler)](int value) noexcept { callGuarded(name, h, value); };
}

}  // namespace stock
