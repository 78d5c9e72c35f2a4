// すとっくん: collects the text that passes through the clipboard.
#include <QAbstractItemView>
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <fstream>
#include <optional>

#include "app/command_line.h"
#include "app/program.h"
#include "os/posix/heap.h"
#include "os/posix/instance_lock.h"
#include "os/posix/programs.h"
#include "os/posix/registry.h"
#include "os/posix/text_locale.h"
#include "os/posix/user_name.h"
#include "os/store/sqlite_history_store.h"
#include "os/wayland/wayland_clipboard.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/desktop_clipboard.h"
#include "ui/qt/qt_shell.h"
#include "ui/qt/qt_tray.h"
#include "ui/qt/qt_ui.h"

namespace {

// A test hook: when STOCKKUN_TRACE_TICKS names a file, every finished tick
// of the clipboard timer appends a line to it ("tick ROWS", the history's
// row count then), so that a test can wait for the program's own ticks
// instead of a fixed time.
void traceTicks() {
    const char* path = std::getenv("STOCKKUN_TRACE_TICKS");
    if (!path || !*path) return;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* timer = w->findChild<QTimer*>("Timer1");
        auto* list = w->findChild<QAbstractItemView*>("List1");
        if (!timer || !list) continue;
        // Connected after the window's own handler, so it runs after the tick.
        QObject::connect(timer, &QTimer::timeout, timer, [file = std::string(path), list] {
            const int rows = list->model() ? list->model()->rowCount() : 0;
            std::ofstream(file, std::ios::app) << "tick " << rows << "\n";
        });
    }
}

}  // namespace

int main(int argc, char** argv) {
    // --help, --version, --autostart: answered before any display or lock.
    if (const auto status = stock::handleCommandLine(argc, argv)) return *status;
    // Stay-on-top and window placement need X11: on a Wayland desktop the
    // window is XWayland's, and the clipboard the compositor's own where it
    // offers data control (every copy is seen, whatever window has the
    // focus); elsewhere the X11 clipboard serves.
    stock::tuneHeapForLargeTexts();
    const char* display = std::getenv("DISPLAY");
    if (display && *display) setenv("QT_QPA_PLATFORM", "xcb", 1);

    QApplication app(argc, argv);
    stock::useUtf8CharacterType();
    QApplication::setQuitOnLastWindowClosed(false);
    stock::qt::installFontSubstitutions();
    QApplication::setWindowIcon(stock::qt::programIcon());

    stock::qt::QtUi ui;
    stock::wayland::WaylandClipboard wayland;
    stock::qt::DesktopClipboard clipboard(wayland.usable() ? &wayland : nullptr);
    stock::PosixInstanceLock lock(display ? display : "");
    stock::PosixUserName userName;
    stock::qt::QtShell shell;
    stock::PosixPrograms programs;
    stock::PosixRegistry registry;
    stock::qt::QtMessageBox messageBox(stock::kProgramTitle);
    stock::qt::QtTrayIcon tray;
    // On while its file is there (--keep-history on); it outlives the program.
    std::optional<stock::store::SqliteHistoryStore> store;
    if (const auto place = stock::store::defaultPlace()) store.emplace(place->file);
    stock::Program program(
        {ui, clipboard, lock, userName, shell, programs, registry, messageBox, &tray, store ? &*store : nullptr});
    stock::qt::onTerminationRequest([&program] { program.endSession(); });
    if (!program.start()) return 0;
    traceTicks();
    return QApplication::exec();
}
