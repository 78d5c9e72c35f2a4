// The selection state under any sequence of events from both threads:
// a secret's text never reaches a read; while the change count stands still
// reads answer the same; reads never go back to an older owner's text; an
// own write is read at once; a wanted fetch is handed out once.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "os/selection/selection_state.h"

using stock::SharedText;
using stock::selection::SelectionState;

namespace {

// A fetched text names the generation it was fetched for.
SharedText textOf(std::uint64_t generation) { return SharedText(u"text " + std::u16string(generation, u'g')); }

struct Model {
    SelectionState s;
    std::optional<std::uint64_t> fetch;   // the one under way, as the reader thread holds it
    std::optional<std::uint64_t> readAt;  // the change count at the last read
    std::optional<SharedText> lastRead;
    std::size_t newestRead = 0;  // the generation of the newest fetched text read

    void read() {
        const auto count = s.changeCount();
        const auto r = s.read();
        if (!r.text) {
            if (readAt == count && lastRead) std::abort();  // the same state answered otherwise
            return;
        }
        const std::u16string& t = r.text->str();
        if (t.rfind(u"SECRET", 0) == 0) std::abort();
        if (readAt == count && lastRead && !(*lastRead == *r.text)) std::abort();
        if (t.rfind(u"text ", 0) == 0) {
            const std::size_t g = t.size() - 5;
            if (g < newestRead) std::abort();  // back to an older owner
            newestRead = g;
        }
        readAt = s.changeCount();
        lastRead = r.text;
    }

    void take() {
        if (fetch) return;  // one at a time, as the reader does
        fetch = s.takeFetch();
        if (fetch && s.takeFetch()) std::abort();
    }

    void finish(std::uint8_t how) {
        if (!fetch) return;
        const std::uint64_t g = *fetch;
        fetch.reset();
        switch (how % 4) {
            case 0:
                s.fetched(g, textOf(g));
                break;
            case 1:
                s.failed(g);
                break;
            case 2:
                s.secretFound(g);
                break;
            default:
                s.secretFetched(g, SharedText(u"SECRET"));
                break;
        }
    }

    void ownWrite(std::uint8_t arg) {
        const SharedText mine(u"mine " + std::u16string(1, char16_t(u'a' + arg % 26)));
        s.ownWriteBegun(mine);
        const auto r = s.read();
        if (!r.text || !r.text->sharesBufferWith(mine)) std::abort();
        readAt = s.changeCount();
        lastRead = r.text;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Model m;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t op = data[i] % 9;
        const std::uint8_t arg = data[i] / 9;
        switch (op) {
            case 0:
                m.s.ownerChanged(0x200000u + arg, false);
                break;
            case 1:
                m.s.ownerChanged(arg % 2 ? 0x400001u : 0u, arg % 2 == 1);
                break;
            case 2:
                m.read();
                break;
            case 3:
                m.take();
                break;
            case 4:
                m.finish(arg);
                break;
            case 5:
                m.ownWrite(arg);
                break;
            case 6:
                m.s.ownWriteFailed();
                break;
            case 7: {
                const auto r = m.s.requestPaste();
                if (!r.text) (void)m.s.awaitPaste(SelectionState::Clock::now());
                break;
            }
            case 8:
                if (m.fetch && !m.s.wanted(*m.fetch)) m.fetch.reset();  // the reader drops a fetch no longer wanted
                break;
        }
    }
    return 0;
}
