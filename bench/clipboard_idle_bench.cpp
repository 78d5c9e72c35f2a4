// Whole-process CPU time of the built program over idle ticks while xclip (or
// wl-copy, in a Wayland session) holds an unchanged 10 MiB text: the program takes the text once, after
// that every tick should cost next to nothing.
// Usage: clipboard_idle_bench PROGRAM [TICKS]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "clipboard_bench_util.h"

namespace {

using stock::bench::cpuMs;

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: clipboard_idle_bench PROGRAM [TICKS]\n");
        return 2;
    }
    const int ticks = argc > 2 ? std::atoi(argv[2]) : 60;
    const std::string file = stock::bench::writeTemp(stock::bench::bigUtf8(10u << 20));
    const pid_t owner = stock::bench::ownerHolding(file);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const stock::bench::TickTrace trace;
    const pid_t program = stock::bench::spawn({argv[1]});
    // Start-up, the first tick and the one fetch of the text, which is
    // recorded once the next two ticks have finished.
    bool ticking = trace.waitTicks(3);
    const double before = cpuMs(program);
    const auto t0 = std::chrono::steady_clock::now();
    ticking = ticking && trace.waitTicks(ticks);
    const double after = cpuMs(program);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const bool alive = stock::bench::running(program);
    stock::bench::stop(program);
    stock::bench::stop(owner);
    std::remove(file.c_str());
    if (!alive || !ticking) {
        std::fprintf(stderr, "clipboard idle: the program %s\n", alive ? "stopped ticking" : "ended");
        return 1;
    }
    std::printf(
        "%s clipboard idle: %.0f ms CPU over %d ticks (%.1f s) while %s holds 10 MiB (%.2f ms per tick), "
        "start-up and the first fetch took %.0f ms\n",
        stock::bench::session(), after - before, ticks, seconds, stock::bench::wayland() ? "wl-copy" : "xclip",
        (after - before) / ticks, before);
    return 0;
}
