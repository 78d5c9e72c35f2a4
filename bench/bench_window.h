// The real main window on Qt over an in-memory clipboard, shown and settled,
// for the benchmarks that measure the UI thread.
#pragma once

#include <QApplication>
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
