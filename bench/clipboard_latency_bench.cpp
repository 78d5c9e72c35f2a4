// From a copy to its row in the history of the real main window, with the
// program's clipboard (X11's, or the compositor's in a Wayland session) and
// its own once-a-second tick. First small copies,
// each made at a random phase after a tick: the median and longest wait for
// their rows. Then one big copy: how long the reader's fetch and the row
// take, and the longest stall of the UI thread meanwhile (a 1 ms probe timer
// measures the gaps in the event loop).
// Usage: clipboard_latency_bench [COPIES] [BIG_MIB]
#include <QApplication>
#include <QString>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "clipboard_bench_util.h"
#include "os/x11/x11_clipboard_reader.h"
#include "x11_window_bench.h"

namespace {

using stock::bench::Clock;
using stock::bench::ms;

struct Copy {
    Copy(std::string f, std::u16string t) : file(std::move(f)), text(std::move(t)) {}
    std::string file;
    std::u16string text;
    int phaseMs = 0;
    Clock::time_point at;
    double waitMs = 0;
};

// The copies, one after another: each is made once the previous one has its
// row, at a random phase after the next tick.
class LatencyRun {
public:
    LatencyRun(stock::bench::X11WindowBench& bench, std::vector<Copy> copies)
        : bench_(bench), copies_(std::move(copies)) {
        bench_.afterEachTick([this] { onTick(); });
        QObject::connect(&probe_, &QTimer::timeout, [this] { onProbe(); });
        probe_.setInterval(1);
        probe_.start();
    }
    ~LatencyRun() {
        for (pid_t p : owners_) stock::bench::stop(p);
    }
    LatencyRun(const LatencyRun&) = delete;
    LatencyRun& operator=(const LatencyRun&) = delete;

    // The exit status: 0 once every copy had its row.
    int run() {
        QApplication::exec();
        if (!failure_.empty()) std::fprintf(stderr, "clipboard latency: %s\n", failure_.c_str());
        return failure_.empty() && next_ == copies_.size() ? 0 : 1;
    }
    const std::vector<Copy>& copies() const { return copies_; }
    double fetchMs = -1, longestStallMs = 0, longestReadMs = 0;

private:
    bool big() const { return next_ + 1 == copies_.size(); }

    void onTick() {
        if (++ticks_ == 2) armed_ = true;  // the window has settled
        if (recordedBig_) finishing_ = true;
        if (!armed_) return;
        armed_ = false;
        copies_[next_].phaseMs = phase_(rng_);
        QTimer::singleShot(copies_[next_].phaseMs, Qt::PreciseTimer, [this] { copy(); });
    }

    void copy() {
        Copy& c = copies_[next_];
        for (auto it = owners_.begin(); it != owners_.end();)
            it = stock::bench::running(*it) ? it + 1 : owners_.erase(it);
        rowsBefore_ = bench_.history().size();
        transfersBefore_ = bench_.transfers();
        bench_.timed.longestRead = 0;
        c.at = lastProbe_ = progress_ = Clock::now();
        owners_.push_back(stock::bench::ownerHolding(c.file));
        pending_ = true;
    }

    void onProbe() {
        const auto now = Clock::now();
        if (big() && pending_) longestStallMs = std::max(longestStallMs, ms(now - lastProbe_));
        lastProbe_ = now;
        if (finishing_) {
            ++next_;
            QApplication::quit();
            return;
        }
        if (now - progress_ > std::chrono::seconds(30)) return fail("nothing happened for 30 s");
        if (!pending_) return;
        if (big() && fetchMs < 0 && bench_.transfers() > transfersBefore_) fetchMs = ms(now - copies_[next_].at);
        // The big copy stays watched after its row, until the next tick.
        if (!recordedBig_ && bench_.history().size() > rowsBefore_) rowArrived(now);
    }

    void rowArrived(Clock::time_point now) {
        Copy& c = copies_[next_];
        c.waitMs = ms(now - c.at);
        progress_ = now;
        if (bench_.history().Text(0) != c.text) return fail("the new row is not the text copied");
        if (big()) {
            recordedBig_ = true;  // watched until the next tick is done
            longestReadMs = bench_.timed.longestRead;
            return;
        }
        pending_ = false;
        ++next_;
        armed_ = true;
    }

    void fail(const char* why) {
        failure_ = why;
        QApplication::quit();
    }

    stock::bench::X11WindowBench& bench_;
    std::vector<Copy> copies_;
    std::vector<pid_t> owners_;  // each xclip ends when the next one takes over
    QTimer probe_;
    std::mt19937 rng_{20};
    std::uniform_int_distribution<int> phase_{0, 999};
    std::size_t next_ = 0, rowsBefore_ = 0;
    std::uint64_t transfersBefore_ = 0;
    long ticks_ = 0;
    bool armed_ = false, pending_ = false, recordedBig_ = false, finishing_ = false;
    Clock::time_point lastProbe_ = Clock::now(), progress_ = Clock::now();
    std::string failure_;
};

std::vector<Copy> makeCopies(int small, std::size_t bigBytes) {
    std::vector<Copy> copies;
    for (int i = 0; i < small; ++i) {
        std::string text = "latency copy " + std::to_string(i) + " ";
        while (text.size() < 100) text += static_cast<char>('a' + (text.size() * 11 + i) % 26);
        copies.emplace_back(stock::bench::writeTemp(text), std::u16string(text.begin(), text.end()));
    }
    const std::string big = stock::bench::bigUtf8(bigBytes);
    copies.emplace_back(stock::bench::writeTemp(big),
                        QString::fromUtf8(big.data(), static_cast<qsizetype>(big.size())).toStdU16String());
    return copies;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void report(const LatencyRun& run, std::size_t bigMiB) {
    const auto& copies = run.copies();
    std::vector<double> waits;
    std::string each;
    for (std::size_t i = 0; i + 1 < copies.size(); ++i) {
        waits.push_back(copies[i].waitMs);
        each += " " + std::to_string(copies[i].phaseMs) + "->" + std::to_string(std::lround(copies[i].waitMs));
    }
    if (!waits.empty()) {
        std::printf(
            "%s clipboard copy to row: median %.0f ms, longest %.0f ms, shortest %.0f ms over %zu 100-byte copies "
            "at random phases of the 1 s tick\n",
            stock::bench::session(), median(waits), *std::max_element(waits.begin(), waits.end()),
            *std::min_element(waits.begin(), waits.end()), waits.size());
        std::printf("clipboard copy to row, each (ms after a tick -> ms to the row):%s\n", each.c_str());
    }
    std::printf(
        "%s clipboard %zu MiB copy (%d ms after a tick): fetched by the reader after %.0f ms, row in the history "
        "after %.0f ms\n",
        stock::bench::session(), bigMiB, copies.back().phaseMs, run.fetchMs, copies.back().waitMs);
    std::printf(
        "%s clipboard %zu MiB copy: longest UI thread stall %.1f ms (probe every 1 ms, from the copy to the tick "
        "after the row); longest clipboard read on the UI thread %.2f ms\n",
        stock::bench::session(), bigMiB, run.longestStallMs, run.longestReadMs);
}

}  // namespace

int main(int argc, char** argv) {
    const int small = argc > 1 ? std::atoi(argv[1]) : 20;
    const std::size_t bigMiB = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 10;
    stock::bench::X11WindowBench bench(argc, argv);
    LatencyRun run(bench, makeCopies(small, bigMiB << 20));
    const int status = run.run();
    if (status == 0) report(run, bigMiB);
    for (const Copy& c : run.copies()) std::remove(c.file.c_str());
    return status;
}
