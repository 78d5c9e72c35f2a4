// The UI thread's side of a clipboard reader that fetches on a thread of its
// own: reads and pastes are answered from the shared state, never waiting
// for the window system (a paste waits at most the time it is given), and
// the reader's thread is woken (an eventfd it polls) when they want a fetch.
#pragma once

#include <chrono>
#include <optional>

#include "core/ports/clipboard.h"
#include "core/text/shared_text.h"
#include "os/selection/selection_state.h"

namespace stock::selection {

class ReaderFront {
public:
    ReaderFront();
    ~ReaderFront();
    ReaderFront(const ReaderFront&) = delete;
    ReaderFront& operator=(const ReaderFront&) = delete;
    // Whether the reader's thread can be woken at all.
    bool ok() const { return wake_ >= 0; }

    // --- UI thread.
    // The text last fetched; nullopt while busy. A secret reads as one.
    std::optional<ClipboardText> read();
    // The newest owner's text, a secret's too, waited for at most `wait`.
    std::optional<SharedText> readTextToPaste(std::chrono::milliseconds wait);
    // The program puts `text` on the clipboard itself (see SelectionState).
    void ownWriteBegun(const SharedText& text);
    void ownWriteFailed();

    // --- Either thread.
    void wake();
    // --- Reader thread: the descriptor to poll, and what to call once it is
    // readable.
    int wakeFd() const { return wake_; }
    void woken();

    SelectionState state;

private:
    int wake_ = -1;
};

}  // namespace stock::selection
