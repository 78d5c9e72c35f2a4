// From a 10 MiB copy to its row in the history of the real main window, with
// the program's X11 clipboard and its own once-a-second tick: how long it
// takes, how long the reader's fetch takes, and the longest stall of the UI
// thread meanwhile (a 1 ms probe timer measures the gaps in the event loop).
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "clipboard_bench_util.h"
#include "main_window/frm_clipboard.h"
#include "main_window/lifetime.h"
#include "platform/posix/heap.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/x11_clipboard.h"
#include "platform/x11/x11_clipboard_reader.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Times every read the watcher makes.
class TimedClipboard final : public stock::Clipboard {
public:
    explicit TimedClipboard(stock::Clipboard& inner) : inner_(inner) {}
    std::optional<stock::ClipboardText> readText() override {
        const auto t0 = Clock::now();
        auto text = inner_.readText();
        longestRead = std::max(longestRead, ms(Clock::now() - t0));
        return text;
    }
    std::optional<stock::SharedText> readTextToPaste() override { return inner_.readTextToPaste(); }
    bool writeText(const stock::SharedText& text) override { return inner_.writeText(text); }
    double longestRead = 0;

private:
    stock::Clipboard& inner_;
};

class NoLock final : public stock::InstanceLock {
public:
    bool anotherInstanceRunning() override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
    stock::tuneHeapForLargeTexts();
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    stock::qt::installFontSubstitutions();
    stock::qt::QtUi ui;
    stock::qt::X11Clipboard clipboard;
    if (!clipboard.reader()) {
        std::fprintf(stderr, "no X11 clipboard reader\n");
        return 1;
    }
    TimedClipboard timed(clipboard);
    NoLock lock;
    stock::Lifetime lifetime(ui);
    stock::FrmClipboard frm({ui, timed, lock, lifetime, nullptr});
    frm.load();
    const auto& list = frm.history();

    const std::string file = stock::bench::writeTemp(stock::bench::bigUtf8(10u << 20));
    pid_t xclip = -1;
    const auto startRows = list.size();
    const auto startTransfers = clipboard.reader()->transfers();
    Clock::time_point copied, fetched, recorded, last = Clock::now();
    std::size_t rowsAdded = 0;
    double longest = 0;
    bool done = false;

    // Let the window settle, then copy.
    QTimer::singleShot(1500, [&] {
        copied = last = Clock::now();
        timed.longestRead = 0;
        xclip = stock::bench::xclipHolding(file);
    });
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        if (copied != Clock::time_point{}) longest = std::max(longest, ms(now - last));
        last = now;
        if (copied == Clock::time_point{}) return;
        if (fetched == Clock::time_point{} && clipboard.reader()->transfers() > startTransfers) fetched = now;
        if (recorded == Clock::time_point{} && list.size() > startRows) {
            recorded = now;
            rowsAdded = list.size() - startRows;
        }
        // Keep watching one more tick after the row appeared.
        if (recorded != Clock::time_point{} && now - recorded > std::chrono::milliseconds(1200)) {
            done = true;
            QApplication::quit();
        }
    });
    probe.start();
    QTimer::singleShot(30000, [] { QApplication::quit(); });
    QApplication::exec();
    stock::bench::stop(xclip);
    std::remove(file.c_str());
    if (!done) {
        std::printf("clipboard 10 MiB copy: not recorded within 30 s\n");
        return 1;
    }
    std::printf(
        "clipboard 10 MiB copy: fetched by the reader after %.0f ms, row in the history after %.0f ms "
        "(ticks are 1 s apart)\n",
        ms(fetched - copied), ms(recorded - copied));
    std::printf(
        "clipboard 10 MiB copy: longest UI thread stall %.1f ms (probe every 1 ms, from the copy to one "
        "tick after the row)\n",
        longest);
    std::printf("clipboard 10 MiB copy: longest clipboard read on the UI thread %.2f ms; rows added %zu\n",
                timed.longestRead, rowsAdded);
    return 0;
}
