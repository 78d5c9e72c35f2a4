// The selection state under any sequence of events from both threads:
// a secret's text never reaches a read, a read within one generation never
// changes its text, an own write is read at once, and a burst of owner
// changes hands out at most one fetch.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/x11/selection_state.h"

using stock::SharedText;
using stock::x11::SelectionState;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SelectionState s;
    std::optional<std::uint64_t> fetch;  // the one handed out, as the reader thread holds it
    std::uint64_t readGeneration = 0;
    std::optional<SharedText> readText;
    int counter = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t op = data[i] % 13;
        const std::uint8_t arg = data[i] / 13;
        switch (op) {
            case 0:
                s.ownerChanged(0x200000u + arg, false);
                break;
            case 1:
                s.ownerChanged(arg % 2 ? 0x400001u : 0u, arg % 2 == 1);
                break;
            case 2: {
                const auto g = s.generation();
                const auto r = s.read();
                if (r.text) {
                    if (r.text->str().rfind(u"SECRET", 0) == 0) std::abort();
                    if (readText && readGeneration == g && !(*readText == *r.text)) std::abort();
                    readGeneration = g;
                    readText = r.text;
                }
                break;
            }
            case 3:
                if (auto g = s.takeFetch()) {
                    if (fetch && *fetch == *g && s.wanted(*g) && !s.pasteWanted(*g)) std::abort();
                    fetch = g;
                }
                break;
            case 4:
                if (fetch) s.fetched(*fetch, SharedText(u"text " + std::u16string(1, char16_t(u'a' + counter++ % 26))));
                fetch.reset();
                break;
            case 5:
                if (fetch) s.failed(*fetch);
                fetch.reset();
                break;
            case 6:
                if (fetch) s.secretFound(*fetch);
                fetch.reset();
                break;
            case 7:
                if (fetch) s.secretFetched(*fetch, SharedText(u"SECRET"));
                fetch.reset();
                break;
            case 8: {
                const SharedText mine(u"mine " + std::u16string(1, char16_t(u'a' + arg % 26)));
                s.ownWriteBegun(mine);
                const auto r = s.read();
                if (!r.text || !r.text->sharesBufferWith(mine)) std::abort();
                readGeneration = s.generation();
                readText = r.text;
                break;
            }
            case 9:
                s.ownWriteFailed();
                break;
            case 10: {
                const auto r = s.requestPaste();
                if (!r.text) (void)s.awaitPaste(SelectionState::Clock::now());
                break;
            }
            case 11:
                if (fetch && !s.wanted(*fetch)) fetch.reset();  // the reader drops a fetch no longer wanted
                break;
            case 12: {
                // A burst of owners with no read: nothing to fetch.
                for (int k = 0; k < 3; ++k) s.ownerChanged(0x300000u + k, false);
                if (s.takeFetch()) std::abort();
                break;
            }
        }
    }
    return 0;
}
