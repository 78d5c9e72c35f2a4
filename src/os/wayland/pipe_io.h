// The two ends of a clipboard transfer over a pipe, neither ever blocking:
// reading an owner's text as it arrives, and serving our own text to a
// reader as fast as it takes it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/text/shared_text.h"
#include "core/text/utf8.h"

namespace stock::wayland {

using Clock = std::chrono::steady_clock;

// A file descriptor that closes itself.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(Fd&& o) noexcept : fd_(o.release()) {}
    Fd& operator=(Fd&& o) noexcept {
        if (this != &o) {
            reset();
            fd_ = o.release();
        }
        return *this;
    }
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset();

private:
    int fd_ = -1;
};

// Reads one type's bytes from the read end of a pipe and decodes them.
class PipeReader {
public:
    enum class Status { Open, Ended, Failed };
    PipeReader(Fd pipe, bool latin1, std::uint64_t limit, Clock::time_point now);

    int fd() const { return pipe_.get(); }
    // Reads what the pipe holds now.
    Status pump(Clock::time_point now);
    Clock::time_point lastProgress() const { return lastProgress_; }
    std::uint64_t bytes() const { return bytes_; }
    std::u16string finish();
    // The raw bytes, kept only for a short value (the password hint).
    const std::string& raw() const { return raw_; }

private:
    Fd pipe_;
    bool latin1_;
    std::uint64_t limit_;
    std::uint64_t bytes_ = 0;
    Utf8Decoder utf8_;
    std::u16string text_;
    std::string raw_;
    Clock::time_point lastProgress_;
};

// Writes a text into the write end of a pipe, encoded as it goes.
class PipeWriter {
public:
    PipeWriter(Fd pipe, SharedText text, bool latin1, Clock::time_point now);
    int fd() const { return pipe_.get(); }
    // Writes what the pipe takes now; false once done (all written, or the
    // reader went away).
    bool pump(Clock::time_point now);
    Clock::time_point lastProgress() const { return lastProgress_; }

private:
    void encodeMore();

    Fd pipe_;
    SharedText text_;
    bool latin1_;
    std::size_t next_ = 0;  // the first code unit not encoded yet
    std::string buffer_;
    std::size_t written_ = 0;  // of buffer_
    Clock::time_point lastProgress_;
};

}  // namespace stock::wayland
