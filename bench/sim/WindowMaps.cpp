#include "WindowMaps.h"

#include <QElapsedTimer>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <xcb/xcb.h>

namespace qbv::bench {

WindowMaps::WindowMaps() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    connection_ = connection;
    // Every top-level window is a child of the root: its maps reach whoever watches the root's structure.
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, screen->root, XCB_CW_EVENT_MASK, &mask);
    const char name[] = "_NET_WM_PID";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, std::strlen(name), name), nullptr);
    pidAtom_ = atom ? atom->atom : 0;
    std::free(atom);
    xcb_flush(connection_);
}

WindowMaps::~WindowMaps() {
    if (connection_)
        xcb_disconnect(connection_);
}

qint64 WindowMaps::ownerOf(uint32_t window) {
    const auto cookie = xcb_get_property(connection_, 0, window, pidAtom_, XCB_ATOM_CARDINAL, 0, 1);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection_, cookie, nullptr);
    qint64 pid = -1;
    if (reply && xcb_get_property_value_length(reply) == 4)
        pid = *static_cast<const uint32_t*>(xcb_get_property_value(reply));
    std::free(reply);
    return pid;
}

bool WindowMaps::waitForWindowOf(qint64 pid, int timeoutMs) {
    if (!connection_)
        return false;
    QElapsedTimer waited;
    waited.start();
    pollfd watched{xcb_get_file_descriptor(connection_), POLLIN, 0};
    while (waited.elapsed() < timeoutMs) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY;
            const uint32_t window = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
            std::free(event);
            if (mapped && ownerOf(window) == pid)
                return true;
        }
        ::poll(&watched, 1, static_cast<int>(timeoutMs - waited.elapsed()));
    }
    return false;
}

} // namespace qbv::bench
