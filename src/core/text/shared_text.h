// An immutable UTF-16 text that is stored once and shared by every holder:
// the clipboard reader's cache, the current clip, a history row and a
// recalled entry all point at one buffer. Copies are cheap; equality compares
// code units, with a fast path when both sides share one buffer.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace stock {

class SharedText {
public:
    SharedText() = default;
    // Takes the text's buffer over (move in to avoid a copy).
    SharedText(std::u16string text)  // NOLINT(google-explicit-constructor)
        : p_(text.empty() ? nullptr : std::make_shared<const std::u16string>(std::move(text))) {}
    SharedText(const char16_t* text) : SharedText(std::u16string(text)) {}  // NOLINT
    explicit SharedText(std::u16string_view text) : SharedText(std::u16string(text)) {}
    // Adopts a buffer that is already shared.
    explicit SharedText(std::shared_ptr<const std::u16string> buffer) : p_(std::move(buffer)) {
        if (p_ && p_->empty()) p_.reset();
    }

    const std::u16string& str() const { return p_ ? *p_ : emptyString(); }
    std::u16string_view view() const { return str(); }
    std::size_t size() const { return p_ ? p_->size() : 0; }
    bool empty() const { return size() == 0; }
    char16_t operator[](std::size_t i) const { return (*p_)[i]; }

    // Both hold the very same buffer (an empty text holds none).
    bool sharesBufferWith(const SharedText& other) const { return p_ && p_ == other.p_; }
    // How many holders share the buffer; 0 for an empty text.
    long holders() const { return p_.use_count(); }

    friend bool operator==(const SharedText& a, const SharedText& b) { return a.p_ == b.p_ || a.view() == b.view(); }
    friend bool operator==(const SharedText& a, std::u16string_view b) { return a.view() == b; }
    friend bool operator==(const SharedText& a, const std::u16string& b) { return a.view() == b; }
    friend bool operator==(const SharedText& a, const char16_t* b) { return a.view() == b; }

private:
    static const std::u16string& emptyString() {
        static const std::u16string none;
        return none;
    }
    std::shared_ptr<const std::u16string> p_;
};

}  // namespace stock
