// The data-control protocols, through which a program that has no focused
// window reads and sets a seat's clipboard: ext_data_control_v1 and the older
// zwlr_data_control_unstable_v1 (version 2 and later). Both have the same
// requests and events in the same order, so one set of calls speaks either;
// only the interfaces that new objects get differ.
#pragma once

#include <cstdint>
#include <string_view>

struct wl_interface;
struct wl_proxy;

namespace stock::wayland {

struct DataControl {
    std::string_view manager;  // the global's interface name
    std::uint32_t version;     // the least it needs, and what it binds
    const wl_interface* managerInterface;
    const wl_interface* deviceInterface;
    const wl_interface* sourceInterface;
};

// In the order of preference.
const DataControl& extDataControl();
const DataControl& wlrDataControl();

// Requests.
wl_proxy* createSource(wl_proxy* manager, const DataControl& protocol);
wl_proxy* getDevice(wl_proxy* manager, wl_proxy* seat, const DataControl& protocol);
void setSelection(wl_proxy* device, wl_proxy* source);
void offerMimeType(wl_proxy* source, const char* mime);
void receive(wl_proxy* offer, const char* mime, int fd);
// The destructor request of a device, a source or an offer.
void destroy(wl_proxy* object);
void destroyManager(wl_proxy* manager);

// Events, in wire order; the first argument is the listener's data.
struct DeviceListener {
    void (*dataOffer)(void* data, wl_proxy* device, wl_proxy* offer);
    void (*selection)(void* data, wl_proxy* device, wl_proxy* offer);
    void (*finished)(void* data, wl_proxy* device);
    void (*primarySelection)(void* data, wl_proxy* device, wl_proxy* offer);
};
struct SourceListener {
    void (*send)(void* data, wl_proxy* source, const char* mime, std::int32_t fd);
    void (*cancelled)(void* data, wl_proxy* source);
};
struct OfferListener {
    void (*offer)(void* data, wl_proxy* offer, const char* mime);
};

}  // namespace stock::wayland
