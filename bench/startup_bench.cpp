// Start-up: time from exec to the main window mapped, and the resident
// memory of the started program a second later. Runs the program N times.
// Usage: startup_bench PROGRAM [RUNS]
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

long rssKiB(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// Waits for a window to be mapped on the root window, up to 30 s; answers
// the time from t0 in ms, or -1.
double waitForMap(xcb_connection_t* c, std::chrono::steady_clock::time_point t0) {
    const auto end = t0 + std::chrono::seconds(30);
    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    while (std::chrono::steady_clock::now() < end) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            const bool mapped = (e->response_type & 0x7f) == XCB_MAP_NOTIFY;
            std::free(e);
            if (mapped) return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        }
        if (xcb_connection_has_error(c) || poll(&fd, 1, 100) < 0) return -1;
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_bench PROGRAM [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 10;
    if (runs < 1) {
        std::fprintf(stderr, "startup_bench: RUNS is at least 1\n");
        return 2;
    }
    std::vector<double> ms;
    std::vector<long> rss;
    for (int i = 0; i < runs; ++i) {
        xcb_connection_t* c = xcb_connect(nullptr, nullptr);
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c);

        const auto t0 = std::chrono::steady_clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            execl(argv[1], argv[1], static_cast<char*>(nullptr));
            _exit(127);
        }
        const double elapsed = waitForMap(c, t0);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const long resident = rssKiB(pid);
        if (elapsed >= 0 && resident > 0) {  // mapped, and still running a second later
            rss.push_back(resident);
            ms.push_back(elapsed);
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        xcb_disconnect(c);
    }
    if (static_cast<int>(ms.size()) < runs) {
        std::fprintf(stderr, "startup: in %d of %d runs no window mapped, or the program ended\n",
                     runs - static_cast<int>(ms.size()), runs);
        return 1;
    }
    std::sort(ms.begin(), ms.end());
    std::sort(rss.begin(), rss.end());
    std::printf("exec to window mapped: median %.1f ms, min %.1f ms, max %.1f ms (%d runs)\n", ms[ms.size() / 2],
                ms.front(), ms.back(), static_cast<int>(ms.size()));
    std::printf("resident memory 1 s after start: median %.1f MiB\n", rss[rss.size() / 2] / 1024.0);
    return 0;
}
