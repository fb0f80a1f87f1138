// SPDX-License-Identifier: MIT
#pragma once

#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <cstdint>

namespace Vexilo::DataControl {

// The one place that names the wlr protocol. ext-data-control-v1 has the same shape with other
// names; supporting it means a second struct like this one and choosing between them at bind time.
struct Wlr
{
    using Manager = zwlr_data_control_manager_v1;
    using Device = zwlr_data_control_device_v1;
    using Source = zwlr_data_control_source_v1;
    using Offer = zwlr_data_control_offer_v1;
    using DeviceListener = zwlr_data_control_device_v1_listener;
    using SourceListener = zwlr_data_control_source_v1_listener;
    using OfferListener = zwlr_data_control_offer_v1_listener;

    static constexpr const char *managerName = "zwlr_data_control_manager_v1";
    static constexpr std::uint32_t maxVersion = 2;
    static const wl_interface *managerInterface() { return &zwlr_data_control_manager_v1_interface; }

    static Device *getDevice(Manager *m, wl_seat *seat)
    {
        return zwlr_data_control_manager_v1_get_data_device(m, seat);
    }
    static Source *createSource(Manager *m) { return zwlr_data_control_manager_v1_create_data_source(m); }
    static void destroy(Manager *m) { zwlr_data_control_manager_v1_destroy(m); }

    static void addListener(Device *d, const DeviceListener *l, void *data)
    {
        zwlr_data_control_device_v1_add_listener(d, l, data);
    }
    static void setSelection(Device *d, Source *s) { zwlr_data_control_device_v1_set_selection(d, s); }
    static void destroy(Device *d) { zwlr_data_control_device_v1_destroy(d); }

    static void addListener(Source *s, const SourceListener *l, void *data)
    {
        zwlr_data_control_source_v1_add_listener(s, l, data);
    }
    static void offer(Source *s, const char *type) { zwlr_data_control_source_v1_offer(s, type); }
    static void destroy(Source *s) { zwlr_data_control_source_v1_destroy(s); }

    static void addListener(Offer *o, const OfferListener *l, void *data)
    {
        zwlr_data_control_offer_v1_add_listener(o, l, data);
    }
    static void receive(Offer *o, const char *type, int fd) { zwlr_data_control_offer_v1_receive(o, type, fd); }
    static void destroy(Offer *o) { zwlr_data_control_offer_v1_destroy(o); }
};

} // namespace Vexilo::DataControl
