// CPU time of the real main window, with the program's X11 clipboard and its
// own once-a-second tick, while different 1 KiB texts are put on the
// clipboard by xclip, 20 a second (200 of them in 10 s unless told): most of
// those owners are replaced before a tick comes. Also how many rows they
// leave in the history. A helper process starts the xclips, so that this
// process's CPU time is the window's alone.
// Usage: clipboard_burst_bench [COPIES]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "clipboard_bench_util.h"
#include "x11_window_bench.h"

namespace {

double processCpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    const auto msOf = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return msOf(u.ru_utime) + msOf(u.ru_stime);
}

// The helper: on a byte from `go`, one xclip per file at 20 a second, then a
// byte to `done`; on the next byte from `go` (or its end), the last xclip goes.
[[noreturn]] void copier(const std::vector<std::string>& files, int go, int done) {
    char byte = 0;
    if (read(go, &byte, 1) != 1) _exit(1);
    std::vector<pid_t> owners;  // each xclip ends when the next one takes over
    auto next = std::chrono::steady_clock::now();
    for (const auto& f : files) {
        owners.push_back(stock::bench::spawn({"xclip", "-quiet", "-selection", "clipboard", "-in"}, f));
        next += std::chrono::milliseconds(50);
        std::this_thread::sleep_until(next);
        for (auto it = owners.begin(); it != owners.end();) it = stock::bench::running(*it) ? it + 1 : owners.erase(it);
    }
    if (write(done, "d", 1) != 1) _exit(1);
    (void)!read(go, &byte, 1);
    for (pid_t p : owners) stock::bench::stop(p);
    _exit(0);
}

struct Helper {
    pid_t pid = -1;
    int go = -1, done = -1;
};

Helper startCopier(const std::vector<std::string>& files) {
    int go[2], done[2];
    if (pipe(go) != 0 || pipe(done) != 0) throw std::runtime_error("pipe");
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) {
        close(go[1]);
        close(done[0]);
        copier(files, go[0], done[1]);
    }
    close(go[0]);
    close(done[1]);
    return {pid, go[1], done[0]};
}

std::vector<std::string> makeTexts(int count, std::u16string& last) {
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        std::string text = "copy " + std::to_string(i) + " ";
        while (text.size() < 1024) text += static_cast<char>('a' + (text.size() * 7 + i) % 26);
        files.push_back(stock::bench::writeTemp(text));
        last.assign(text.begin(), text.end());
    }
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 200;
    std::u16string last;
    const std::vector<std::string> files = makeTexts(count, last);
    // Forked while this process has one thread.
    const Helper helper = startCopier(files);
    stock::bench::X11WindowBench bench(argc, argv);
    const auto& list = bench.history();

    std::size_t rowsBefore = 0;
    double cpuBefore = 0, cpuAfter = 0;
    long doneAt = -1;
    bench.afterEachTick([&] {
        if (bench.ticks == 2) {  // the window has settled
            rowsBefore = list.size();
            cpuBefore = processCpuMs();
            if (write(helper.go, "g", 1) != 1) QApplication::exit(1);
        }
        // What a tick takes is recorded once the next two ticks have finished.
        if (doneAt > 0 && bench.ticks >= doneAt + 2) {
            cpuAfter = processCpuMs();
            QApplication::quit();
        }
    });
    QSocketNotifier doneNote(helper.done, QSocketNotifier::Read);
    QObject::connect(&doneNote, &QSocketNotifier::activated, [&] {
        doneNote.setEnabled(false);
        doneAt = bench.ticks;
    });
    QTimer::singleShot(std::chrono::seconds(count / 20 + 40), [] { QApplication::exit(1); });
    const int status = QApplication::exec();
    const std::size_t rows = list.size() - rowsBefore;
    const bool lastTaken = list.Text(0) == last;
    close(helper.go);
    waitpid(helper.pid, nullptr, 0);
    for (const auto& f : files) std::remove(f.c_str());
    if (status != 0 || !lastTaken) {
        std::fprintf(stderr, "clipboard burst: %s\n",
                     status != 0 ? "the copies did not finish" : "the last copy is not the top row");
        return 1;
    }
    std::printf("clipboard burst: %.0f ms CPU for %d different 1 KiB copies at 20/s, %zu rows added\n",
                cpuAfter - cpuBefore, count, rows);
    return 0;
}
