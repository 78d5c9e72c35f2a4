// The real main window on Qt over an in-memory clipboard, shown and settled,
// for the benchmarks that measure the UI thread.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

#include "bench_support.h"
#include "core/main_window/frm_clipboard.h"
#include "os/posix/heap.h"
#include "ui/qt/qt_ui.h"

namespace stock::bench {

// What the program does before it makes its QApplication: a member of a
// bench class placed before its application.
struct PreparedAsTheProgram {
    PreparedAsTheProgram() {
        tuneHeapForLargeTexts();
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
};

// The longest gap between two turns of the event loop (a stall of the UI
// thread) while the probe runs, in ms; the gap up to stop() counts too.
class GapProbe {
public:
    GapProbe() {
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { lap(); });
    }
    void start() {
        longest_ = 0;
        since_.start();
        timer_.start();
    }
    double stop() {
        lap();
        timer_.stop();
        return longest_;
    }

private:
    void lap() {
        longest_ = std::max(longest_, since_.nsecsElapsed() / 1e6);
        since_.restart();
    }
    QTimer timer_;
    QElapsedTimer since_;
    double longest_ = 0;
};

class MainWindowBench {
public:
    MainWindowBench(int& argc, char** argv) : app(argc, argv) {
        qt::installFontSubstitutions();
        frm.load();
        QApplication::processEvents();
    }
    Window& window() { return frm.window(); }

private:
    PreparedAsTheProgram prepared_;

public:
    QApplication app;
    qt::QtUi ui;
    MemoryClipboard clipboard;
    NoLock lock;
    Lifetime lifetime{ui};
    FrmClipboard frm{{ui, clipboard, lock, lifetime, nullptr}};
};

}  // namespace stock::bench
