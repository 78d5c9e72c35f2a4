#pragma once

#include <cstdint>
#include <optional>

#include "core/ports/clipboard.h"
#include "core/history/history.h"
#include "core/ports/controls.h"

namespace stock {

// Once a second: a clipboard text that differs from the current clip becomes
// the current clip and a new top row of the history. A text that its owner
// marks a secret is never taken.
class ClipboardWatcher {
public:
    ClipboardWatcher(Clipboard& clipboard, TextBox& currentClip, History& history)
        : clipboard_(clipboard), RichTextBox2(currentClip), List1(history) {}

    void Timer1_Timer();
    void RichTextBox2_Change();
    void Command1_Click();

private:
    Clipboard& clipboard_;
    TextBox& RichTextBox2;
    History& List1;
    // The clipboard's change count when its text last equalled the current
    // clip: while neither has changed since, a tick needs no read at all.
    std::optional<std::uint64_t> equalAt_;
    bool recorded_ = false;  // a text became the current clip in this run
};

}  // namespace stock
