#pragma once
// The writes that the killed child makes, and what the store holds after
// each prefix of them.

#include <string>
#include <vector>

#include "os/store/history_db.h"

namespace stock::test {

constexpr int kOps = 60;
constexpr int kClearAt = 25;
inline const store::Bounds kChildBounds{16, std::uint64_t{64} << 20};

// Every seventh a large one, so that kills land inside long writes too.
inline std::u16string opText(int i) {
    const std::size_t units = i % 7 == 0 ? (std::size_t{1} << 20) + i : 100 + i;
    std::u16string text(units, static_cast<char16_t>(u'a' + i % 26));
    text[0] = static_cast<char16_t>(0x4E00 + i);
    text.back() = u'\r';
    return text;
}

// The writes whose texts the store holds after the first `done`, newest first.
inline std::vector<int> heldAfter(int done) {
    std::vector<int> held;
    for (int i = 0; i < done; ++i) {
        if (i == kClearAt) {
            held.clear();
        } else {
            held.insert(held.begin(), i);
            if (held.size() > kChildBounds.entries) held.pop_back();
        }
    }
    return held;
}

// Which write a stored text came from (its first unit tells), -1 for none.
inline int opOf(const std::u16string& text) {
    const int i = text.empty() ? -1 : text[0] - 0x4E00;
    return i >= 0 && i < kOps && text == opText(i) ? i : -1;
}

}  // namespace stock::test
