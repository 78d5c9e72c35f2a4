#include "os/selection/reader_front.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <utility>

namespace stock::selection {

ReaderFront::ReaderFront() : wake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

ReaderFront::~ReaderFront() {
    if (wake_ >= 0) close(wake_);
}

std::optional<ClipboardText> ReaderFront::read() {
    auto r = state.read();
    if (r.wakeReader) wake();
    if (r.secret) return ClipboardText{SharedText(), true};
    if (!r.text) return std::nullopt;
    return ClipboardText{std::move(*r.text), false};
}

std::optional<SharedText> ReaderFront::readTextToPaste(std::chrono::milliseconds wait) {
    auto r = state.requestPaste();
    if (r.text) return std::move(r.text);
    if (r.wakeReader) wake();
    return state.awaitPaste(SelectionState::Clock::now() + wait);
}

void ReaderFront::ownWriteBegun(const SharedText& text) {
    state.ownWriteBegun(text);
    wake();  // a fetch under way is for an older owner: drop it now
}

void ReaderFront::ownWriteFailed() {
    if (state.ownWriteFailed()) wake();
}

void ReaderFront::wake() {
    if (wake_ < 0) return;
    const std::uint64_t one = 1;
    [[maybe_unused]] auto n = ::write(wake_, &one, sizeof one);
}

void ReaderFront::woken() {
    std::uint64_t n = 0;
    [[maybe_unused]] auto r = ::read(wake_, &n, sizeof n);
}

}  // namespace stock::selection
