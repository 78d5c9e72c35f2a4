// The clipboard of a Wayland session, read and set through the compositor's
// data-control protocol (ext_data_control_v1, or zwlr_data_control_v1 from
// version 2) on a Wayland connection and thread of its own: every copy is
// seen whichever window has the focus, and the UI thread never waits for the
// compositor or a clipboard owner (only a paste waits, briefly).
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "core/ports/clipboard.h"
#include "core/text/shared_text.h"

namespace stock::wayland {

class WaylandClipboard final : public Clipboard {
public:
    struct Options {
        // A transfer that makes no progress for this long has failed.
        std::chrono::milliseconds stallTimeout{1000};
        // A text of more bytes than this fails to fetch ("cannot read now").
        std::uint64_t textLimit = std::uint64_t{256} << 20;
    };

    // Connects to the compositor that WAYLAND_DISPLAY names (nothing when it
    // is unset). Not usable() when there is none or it offers neither
    // protocol; every read then answers "cannot read now".
    explicit WaylandClipboard(Options options);
    WaylandClipboard();
    ~WaylandClipboard() override;
    WaylandClipboard(const WaylandClipboard&) = delete;
    WaylandClipboard& operator=(const WaylandClipboard&) = delete;

    bool usable() const;
    // The data-control global in use ("" when not usable).
    std::string_view protocol() const;

    // As the X11 reader: the text last fetched, never waiting; a new offer's
    // text is fetched as soon as it comes. An offer that its owner marks a
    // secret (x-kde-passwordManagerHint "secret") reads as one, unread.
    std::optional<ClipboardText> readText() override;
    // A paste: waits at most the stall timeout, and reads a secret too.
    std::optional<SharedText> readTextToPaste() override;
    // Sets the clipboard to a source of the program's own that serves `text`
    // for as long as it stays the selection; reads answer it at once.
    bool writeText(const SharedText& text) override;
    std::optional<std::uint64_t> changeCount() override;

    // Text transfers finished so far.
    std::uint64_t transfers() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace stock::wayland
