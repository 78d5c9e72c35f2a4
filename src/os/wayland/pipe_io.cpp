#include "os/wayland/pipe_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <string_view>

namespace stock::wayland {
namespace {

constexpr std::size_t kPiece = std::size_t{64} << 10;  // bytes read or units encoded at a time
constexpr std::size_t kRawKept = 64;                   // bytes of a value kept as they came

bool isHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// A write to a pipe whose reader has gone raises SIGPIPE for this thread,
// which keeps it blocked: take it back, so that it never reaches the program.
void forgetBrokenPipe() {
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    const timespec none{0, 0};
    while (sigtimedwait(&pipe, nullptr, &none) == SIGPIPE) {
    }
}

}  // namespace

void Fd::reset() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

PipeReader::PipeReader(Fd pipe, bool latin1, std::uint64_t limit, Clock::time_point now)
    : pipe_(std::move(pipe)), latin1_(latin1), limit_(limit), lastProgress_(now) {}

PipeReader::Status PipeReader::pump(Clock::time_point now) {
    char buf[kPiece];
    for (;;) {
        const ssize_t n = ::read(pipe_.get(), buf, sizeof buf);
        if (n == 0) return Status::Ended;
        if (n < 0) return errno == EAGAIN || errno == EINTR ? Status::Open : Status::Failed;
        lastProgress_ = now;
        const auto got = static_cast<std::size_t>(n);
        bytes_ += got;
        if (bytes_ > limit_) return Status::Failed;
        const std::string_view piece(buf, got);
        if (raw_.size() < kRawKept) raw_.append(piece.substr(0, kRawKept - raw_.size()));
        if (latin1_)
            for (const char b : piece) text_.push_back(static_cast<unsigned char>(b));
        else
            utf8_.feed(piece, text_);
    }
}

std::u16string PipeReader::finish() {
    if (!latin1_) utf8_.finish(text_);
    if (text_.capacity() > text_.size() + text_.size() / 4) text_.shrink_to_fit();
    return std::move(text_);
}

PipeWriter::PipeWriter(Fd pipe, SharedText text, bool latin1, Clock::time_point now)
    : pipe_(std::move(pipe)), text_(std::move(text)), latin1_(latin1), lastProgress_(now) {
    fcntl(pipe_.get(), F_SETFL, fcntl(pipe_.get(), F_GETFL) | O_NONBLOCK);
}

// The next piece of the text, never splitting a surrogate pair.
void PipeWriter::encodeMore() {
    buffer_.clear();
    written_ = 0;
    const std::u16string_view all = text_.view();
    std::size_t end = std::min(all.size(), next_ + kPiece);
    if (end < all.size() && isHigh(all[end - 1]) && isLow(all[end])) ++end;
    const std::u16string_view piece = all.substr(next_, end - next_);
    next_ = end;
    if (!latin1_) {
        buffer_ = encodeUtf8(piece);
        return;
    }
    for (std::size_t i = 0; i < piece.size(); ++i) {
        const char16_t c = piece[i];
        buffer_.push_back(c < 0x100 ? static_cast<char>(c) : '?');
        if (isHigh(c) && i + 1 < piece.size() && isLow(piece[i + 1])) ++i;  // one character, one '?'
    }
}

bool PipeWriter::pump(Clock::time_point now) {
    for (;;) {
        if (written_ == buffer_.size()) {
            if (next_ == text_.size()) return false;
            encodeMore();
        }
        const ssize_t n = ::write(pipe_.get(), buffer_.data() + written_, buffer_.size() - written_);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) return true;
            if (errno == EPIPE) forgetBrokenPipe();
            return false;
        }
        written_ += static_cast<std::size_t>(n);
        lastProgress_ = now;
    }
}

}  // namespace stock::wayland
