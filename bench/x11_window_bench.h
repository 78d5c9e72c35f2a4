// The real main window over the program's own clipboard (the compositor's in
// a Wayland session with data control, X11's otherwise) and its
// once-a-second tick, for the benchmarks that copy with xclip or wl-copy and
// watch what reaches the history.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <utility>

#include "bench_support.h"
#include "bench_window.h"
#include "core/main_window/frm_clipboard.h"
#include "core/main_window/lifetime.h"
#include "os/wayland/wayland_clipboard.h"
#include "os/x11/x11_clipboard_reader.h"
#include "ui/qt/qt_ui.h"
#include "ui/qt/desktop_clipboard.h"

namespace stock::bench {

using Clock = std::chrono::steady_clock;

inline double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Times every read the window makes.
class TimedClipboard final : public Clipboard {
public:
    explicit TimedClipboard(Clipboard& inner) : inner_(inner) {}
    std::optional<ClipboardText> readText() override {
        const auto t0 = Clock::now();
        auto text = inner_.readText();
        longestRead = std::max(longestRead, ms(Clock::now() - t0));
        return text;
    }
    std::optional<SharedText> readTextToPaste() override { return inner_.readTextToPaste(); }
    bool writeText(const SharedText& text) override { return inner_.writeText(text); }
    std::optional<std::uint64_t> changeCount() override { return inner_.changeCount(); }
    double longestRead = 0;

private:
    Clipboard& inner_;
};

class X11WindowBench {
public:
    X11WindowBench(int& argc, char** argv) : app(argc, argv) {
        QApplication::setQuitOnLastWindowClosed(false);
        qt::installFontSubstitutions();
        if (!wayland.usable() && !clipboard.reader()) throw std::runtime_error("no clipboard reader");
        frm.load();
        afterEachTick([this] { ++ticks; });
    }
    const History& history() const { return frm.history(); }
    // Texts the reader has fetched so far.
    std::uint64_t transfers() const { return wayland.usable() ? wayland.transfers() : clipboard.reader()->transfers(); }

    // Runs `f` after every tick of the window's clipboard timer, once the
    // tick's own work is done.
    void afterEachTick(std::function<void()> f) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* timer = w->findChild<QTimer*>("Timer1")) {
                QObject::connect(timer, &QTimer::timeout, timer, std::move(f));
                return;
            }
        throw std::runtime_error("the window has no clipboard timer");
    }

private:
    PreparedAsTheProgram prepared_;

public:
    QApplication app;
    qt::QtUi ui;
    wayland::WaylandClipboard wayland;
    qt::DesktopClipboard clipboard{wayland.usable() ? &wayland : nullptr};
    TimedClipboard timed{clipboard};
    NoLock lock;
    Lifetime lifetime{ui};
    FrmClipboard frm{{ui, timed, lock, lifetime, nullptr}};
    long ticks = 0;
};

}  // namespace stock::bench
