#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace stock::test {

// Runs the event loop until the condition holds or the time is up.
inline bool waitFor(const std::function<bool()>& condition, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// The names in a top-level window's _NET_WM_STATE, as the X server holds them.
inline std::vector<std::string> netWmState(QWidget* window) {
    std::vector<std::string> names;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !window || !window->windowHandle()) return names;
    xcb_connection_t* c = x11->connection();
    const char* property = "_NET_WM_STATE";
    auto* a = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(property)), property),
                                    nullptr);
    if (!a) return names;
    const xcb_atom_t state = a->atom;
    std::free(a);
    const auto id = static_cast<xcb_window_t>(window->windowHandle()->winId());
    auto* r = xcb_get_property_reply(c, xcb_get_property(c, 0, id, state, XCB_ATOM_ATOM, 0, 64), nullptr);
    if (!r) return names;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(r));
    for (int i = 0; i < xcb_get_property_value_length(r) / 4; ++i) {
        if (auto* n = xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atoms[i]), nullptr)) {
            names.emplace_back(xcb_get_atom_name_name(n), static_cast<std::size_t>(xcb_get_atom_name_name_length(n)));
            std::free(n);
        }
    }
    std::free(r);
    return names;
}

}  // namespace stock::test
