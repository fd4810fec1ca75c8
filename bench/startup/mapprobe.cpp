// Runs a command and prints the milliseconds from exec to the first
// top-level window of at least 100 x 100 pixels it maps on the X display
// (tray icons are smaller), then ends the command. With --title, the time
// runs on until that window's title contains TEXT (a file shown). Events, not
// polling, so the figure is what the program takes, not what the watcher adds.
//
//   mapprobe [--title TEXT] COMMAND [ARG...]

#include <xcb/xcb.h>

#include <chrono>
#include <string>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Ends the child: SIGTERM, then SIGKILL if it has not gone after 5 s.
void endChild(pid_t pid)
{
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        ::usleep(10000);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

bool bigEnough(xcb_connection_t *c, xcb_window_t w)
{
    xcb_get_geometry_reply_t *g = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
    const bool big = g && g->width >= 100 && g->height >= 100;
    std::free(g);
    return big;
}

std::string title(xcb_connection_t *c, xcb_window_t w, xcb_atom_t netWmName, xcb_atom_t utf8)
{
    xcb_get_property_reply_t *r
        = xcb_get_property_reply(c, xcb_get_property(c, 0, w, netWmName, utf8, 0, 1024), nullptr);
    std::string text;
    if (r)
        text.assign(static_cast<const char *>(xcb_get_property_value(r)), size_t(xcb_get_property_value_length(r)));
    std::free(r);
    return text;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

} // namespace

int main(int argc, char **argv)
{
    int first = 1;
    const char *wantTitle = nullptr;
    if (argc > 2 && std::strcmp(argv[1], "--title") == 0) {
        wantTitle = argv[2];
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: mapprobe [--title TEXT] COMMAND [ARG...]\n");
        return 2;
    }
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "mapprobe: cannot open the display\n");
        return 2;
    }
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_atom_t netWmName = atom(c, "_NET_WM_NAME"), utf8 = atom(c, "UTF8_STRING");
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    // The event mask is in place before the command starts.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

    const Clock::time_point start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execvp(argv[first], argv + first);
        std::perror("mapprobe: exec");
        ::_exit(127);
    }

    pollfd pfd{xcb_get_file_descriptor(c), POLLIN, 0};
    const Clock::time_point deadline = start + std::chrono::seconds(30);
    double ms = -1;
    xcb_window_t window = XCB_WINDOW_NONE;
    auto done = [&] { ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count(); };
    auto titleReached = [&] { return title(c, window, netWmName, utf8).find(wantTitle) != std::string::npos; };
    while (ms < 0 && Clock::now() < deadline) {
        while (xcb_generic_event_t *e = xcb_poll_for_event(c)) {
            const int type = e->response_type & 0x7f;
            if (type == XCB_MAP_NOTIFY && window == XCB_WINDOW_NONE) {
                auto *m = reinterpret_cast<xcb_map_notify_event_t *>(e);
                if (m->event == screen->root && !m->override_redirect && bigEnough(c, m->window)) {
                    window = m->window;
                    if (!wantTitle) {
                        done();
                    } else {
                        // Watch first, then look: a title set in between is not missed.
                        const uint32_t props = XCB_EVENT_MASK_PROPERTY_CHANGE;
                        xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &props);
                        if (titleReached())
                            done();
                    }
                }
            } else if (type == XCB_PROPERTY_NOTIFY && window != XCB_WINDOW_NONE && ms < 0) {
                auto *p = reinterpret_cast<xcb_property_notify_event_t *>(e);
                if (p->window == window && p->atom == netWmName && titleReached())
                    done();
            }
            std::free(e);
        }
        if (ms < 0)
            ::poll(&pfd, 1, 100);
        if (::waitpid(pid, nullptr, WNOHANG) == pid) {
            std::fprintf(stderr, "mapprobe: the command ended before it mapped a window\n");
            xcb_disconnect(c);
            return 1;
        }
    }
    endChild(pid);
    xcb_disconnect(c);
    if (ms < 0) {
        std::fprintf(stderr, "mapprobe: no window within 30 s\n");
        return 1;
    }
    std::printf("%.1f\n", ms);
    return 0;
}
