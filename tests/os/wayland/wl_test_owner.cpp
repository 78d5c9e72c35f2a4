// A Wayland clipboard owner for what wl-copy cannot do: sets the selection
// through data control, prints "ready", then answers as asked, printing
// "asked TYPE" for every type it is asked for.
//   wl_test_owner secret FILE   offers FILE's bytes and x-kde-passwordManagerHint = "secret"
//   wl_test_owner silent        offers a text, and never writes nor closes a pipe
//   wl_test_owner refuse        offers a text, and closes every pipe unwritten
#include <unistd.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "os/wayland/data_control.h"

namespace {

using namespace stock::wayland;

struct Owner {
    std::string mode, bytes;
    std::vector<int> kept;
    wl_proxy* seat = nullptr;
    wl_proxy* manager = nullptr;
    const DataControl* protocol = nullptr;
};

void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
    auto& o = *static_cast<Owner*>(data);
    if (std::string_view(interface) == "wl_seat" && !o.seat)
        o.seat = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    for (const DataControl* p : {&extDataControl(), &wlrDataControl()})
        if (std::string_view(interface) == p->manager && !o.manager) {
            o.protocol = p;
            o.manager = static_cast<wl_proxy*>(wl_registry_bind(registry, name, p->managerInterface, p->version));
        }
}

void writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void onSend(void* data, wl_proxy*, const char* type, std::int32_t fd) {
    auto& o = *static_cast<Owner*>(data);
    std::printf("asked %s\n", type);
    std::fflush(stdout);
    if (o.mode == "silent") {
        o.kept.push_back(fd);
        return;
    }
    if (o.mode == "refuse") {
        close(fd);
        return;
    }
    writeAll(fd, std::strcmp(type, "x-kde-passwordManagerHint") == 0 ? "secret" : o.bytes);
    close(fd);
}

void onCancelled(void*, wl_proxy*) { _exit(0); }

}  // namespace

int main(int argc, char** argv) {
    Owner o;
    o.mode = argc > 1 ? argv[1] : "";
    if (argc > 2) {
        std::ifstream in(argv[2], std::ios::binary);
        o.bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return 2;
    static const wl_registry_listener registryListener = {onGlobal, [](void*, wl_registry*, std::uint32_t) {}};
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, &o);
    wl_display_roundtrip(display);
    if (!o.manager || !o.seat) return 2;
    wl_proxy* device = getDevice(o.manager, o.seat, *o.protocol);
    wl_proxy* source = createSource(o.manager, *o.protocol);
    static const SourceListener sourceListener = {onSend, onCancelled};
    wl_proxy_add_listener(source, reinterpret_cast<void (**)()>(const_cast<SourceListener*>(&sourceListener)), &o);
    offerMimeType(source, "text/plain;charset=utf-8");
    offerMimeType(source, "UTF8_STRING");
    if (o.mode == "secret") offerMimeType(source, "x-kde-passwordManagerHint");
    setSelection(device, source);
    wl_display_roundtrip(display);
    std::puts("ready");
    std::fflush(stdout);
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}
