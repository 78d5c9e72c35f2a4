// A stand-in X connection for SelectionFetch: it notes the requests, holds
// the requestor's property as an owner sets it, and makes the events that
// an owner's answers (or anybody else's) would bring.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "os/x11/selection_fetch.h"

namespace stock::x11::test {

class FakeSelectionIo : public SelectionIo {
public:
    struct Request {
        xcb_atom_t target = XCB_ATOM_NONE, property = XCB_ATOM_NONE;
        xcb_timestamp_t time = 0;
    };
    struct Value {
        xcb_atom_t type = XCB_ATOM_NONE;
        std::uint8_t format = 8;
        std::string bytes;
    };

    std::vector<Request> requests;
    std::optional<Value> property;  // the requestor's property, when there

    void convert(xcb_atom_t target, xcb_atom_t prop, xcb_timestamp_t time) override {
        requests.push_back({target, prop, time});
    }
    std::optional<Piece> getProperty(xcb_atom_t, std::uint32_t offsetWords, std::uint32_t words) override {
        Piece piece;
        if (!property) return piece;
        auto held = std::make_shared<std::string>(property->bytes);
        const std::size_t from = std::min<std::size_t>(std::size_t{offsetWords} * 4, held->size());
        const std::size_t n = std::min<std::size_t>(std::size_t{words} * 4, held->size() - from);
        piece.type = property->type;
        piece.format = property->format;
        piece.bytes = std::string_view(*held).substr(from, n);
        piece.bytesAfter = static_cast<std::uint32_t>(held->size() - from - n);
        piece.keep = held;
        return piece;
    }
    void deleteProperty(xcb_atom_t) override { property.reset(); }
};

template <class Event>
xcb_generic_event_t generic(const Event& e) {
    xcb_generic_event_t ev{};
    static_assert(sizeof e <= sizeof ev);
    std::memcpy(&ev, &e, sizeof e);
    return ev;
}

// The SelectionNotify that answers REQUEST: `property` NONE is a refusal.
inline xcb_generic_event_t notifyEvent(const SelectionAtoms& atoms, const FakeSelectionIo::Request& request,
                                       xcb_atom_t property, std::optional<xcb_timestamp_t> time = std::nullopt) {
    xcb_selection_notify_event_t n{};
    n.response_type = XCB_SELECTION_NOTIFY;
    n.time = time.value_or(request.time);
    n.requestor = atoms.window;
    n.selection = atoms.clipboard;
    n.target = request.target;
    n.property = property;
    return generic(n);
}

// The notice that the requestor's PROPERTY has a new value.
inline xcb_generic_event_t newValueEvent(const SelectionAtoms& atoms, xcb_atom_t property) {
    xcb_property_notify_event_t n{};
    n.response_type = XCB_PROPERTY_NOTIFY;
    n.window = atoms.window;
    n.atom = property;
    n.state = XCB_PROPERTY_NEW_VALUE;
    return generic(n);
}

// Made-up atoms for a fetch without an X server.
inline SelectionAtoms fakeAtoms() {
    SelectionAtoms a;
    a.window = 0x0A00001;
    a.clipboard = 100;
    a.targets = 101;
    a.incr = 102;
    a.passwordHint = 103;
    a.compoundText = 104;
    const xcb_atom_t utf8 = 105;
    a.textPreference = {utf8, a.compoundText, XCB_ATOM_STRING};
    a.direct = {utf8, a.compoundText, XCB_ATOM_STRING};
    return a;
}
inline constexpr xcb_atom_t kFakeUtf8 = 105;
inline constexpr xcb_atom_t kFakeProperty = 200;

}  // namespace stock::x11::test
