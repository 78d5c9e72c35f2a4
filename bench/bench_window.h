// The real main window on Qt over an in-memory clipboard, shown and settled,
// for the benchmarks that measure the UI thread.
#pragma once

#include <QApplication>
#include <cstdlib>

#include "bench_support.h"
#include "main_window/frm_clipboard.h"
#include "platform/posix/heap.h"
#include "platform/qt/qt_ui.h"

namespace stock::bench {

class MainWindowBench {
    struct Prepared {
        Prepared() {
            tuneHeapForLargeTexts();
            setenv("QT_QPA_PLATFORM", "xcb", 1);
        }
    };

public:
    MainWindowBench(int& argc, char** argv) : app(argc, argv) {
        qt::installFontSubstitutions();
        frm.load();
        QApplication::processEvents();
    }
    Window& window() { return frm.window(); }

private:
    Prepared prepared_;

public:
    QApplication app;
    qt::QtUi ui;
    MemoryClipboard clipboard;
    NoLock lock;
    Lifetime lifetime{ui};
    FrmClipboard frm{{ui, clipboard, lock, lifetime, nullptr}};
};

}  // namespace stock::bench
