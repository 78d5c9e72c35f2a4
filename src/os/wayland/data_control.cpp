#include "os/wayland/data_control.h"

#include <wayland-client-core.h>

extern "C" {
// From the interface descriptions that wayland-scanner turns into code.
extern const wl_interface ext_data_control_manager_v1_interface;
extern const wl_interface ext_data_control_device_v1_interface;
extern const wl_interface ext_data_control_source_v1_interface;
extern const wl_interface zwlr_data_control_manager_v1_interface;
extern const wl_interface zwlr_data_control_device_v1_interface;
extern const wl_interface zwlr_data_control_source_v1_interface;
}

namespace stock::wayland {
namespace {

// Opcodes, the same in both protocols.
constexpr std::uint32_t kCreateSource = 0, kGetDevice = 1, kDestroyManager = 2;  // manager
constexpr std::uint32_t kSetSelection = 0, kOffer = 0, kReceive = 0;             // device, source, offer
constexpr std::uint32_t kDestroy = 1;                                            // device, source, offer

std::uint32_t version(wl_proxy* p) { return wl_proxy_get_version(p); }

}  // namespace

const DataControl& extDataControl() {
    static const DataControl p{"ext_data_control_manager_v1", 1, &ext_data_control_manager_v1_interface,
                               &ext_data_control_device_v1_interface, &ext_data_control_source_v1_interface};
    return p;
}

const DataControl& wlrDataControl() {
    static const DataControl p{"zwlr_data_control_manager_v1", 2, &zwlr_data_control_manager_v1_interface,
                               &zwlr_data_control_device_v1_interface, &zwlr_data_control_source_v1_interface};
    return p;
}

wl_proxy* createSource(wl_proxy* manager, const DataControl& protocol) {
    return wl_proxy_marshal_flags(manager, kCreateSource, protocol.sourceInterface, version(manager), 0, nullptr);
}

wl_proxy* getDevice(wl_proxy* manager, wl_proxy* seat, const DataControl& protocol) {
    return wl_proxy_marshal_flags(manager, kGetDevice, protocol.deviceInterface, version(manager), 0, nullptr, seat);
}

void setSelection(wl_proxy* device, wl_proxy* source) {
    wl_proxy_marshal_flags(device, kSetSelection, nullptr, version(device), 0, source);
}

void offerMimeType(wl_proxy* source, const char* mime) {
    wl_proxy_marshal_flags(source, kOffer, nullptr, version(source), 0, mime);
}

void receive(wl_proxy* offer, const char* mime, int fd) {
    wl_proxy_marshal_flags(offer, kReceive, nullptr, version(offer), 0, mime, fd);
}

void destroy(wl_proxy* object) {
    wl_proxy_marshal_flags(object, kDestroy, nullptr, version(object), WL_MARSHAL_FLAG_DESTROY);
}

void destroyManager(wl_proxy* manager) {
    wl_proxy_marshal_flags(manager, kDestroyManager, nullptr, version(manager), WL_MARSHAL_FLAG_DESTROY);
}

}  // namespace stock::wayland
