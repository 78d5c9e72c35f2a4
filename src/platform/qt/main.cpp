// すとっくん: collects the text that passes through the clipboard.
#include <QApplication>
#include <cstdlib>

#include "about/frm_about.h"
#include "main_window/frm_clipboard.h"
#include "main_window/lifetime.h"
#include "platform/posix/heap.h"
#include "platform/posix/command_line.h"
#include "platform/posix/instance_lock.h"
#include "platform/posix/programs.h"
#include "platform/posix/registry.h"
#include "platform/posix/text_locale.h"
#include "platform/posix/user_name.h"
#include "platform/qt/program_icon.h"
#include "platform/qt/x11_clipboard.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_tray.h"
#include "platform/qt/qt_ui.h"

int main(int argc, char** argv) {
    // --help, --version, --autostart: answered before any display or lock.
    if (const auto status = stock::handleCommandLine(argc, argv)) return *status;
    // Background clipboard access, stay-on-top and window placement need X11:
    // on a Wayland desktop the program runs through XWayland.
    stock::tuneHeapForLargeTexts();
    const char* display = std::getenv("DISPLAY");
    if (display && *display) setenv("QT_QPA_PLATFORM", "xcb", 1);

    QApplication app(argc, argv);
    stock::useUtf8CharacterType();
    QApplication::setQuitOnLastWindowClosed(false);
    stock::qt::installFontSubstitutions();
    QApplication::setWindowIcon(stock::qt::programIcon());

    stock::qt::QtUi ui;
    stock::qt::X11Clipboard clipboard;
    stock::PosixInstanceLock lock(display ? display : "");
    stock::Lifetime lifetime(ui);
    stock::PosixUserName userName;
    stock::qt::QtShell shell;
    stock::PosixPrograms programs;
    stock::PosixRegistry registry;
    stock::qt::QtMessageBox messageBox(u"すとっくん");
    stock::FrmAbout frmAbout({ui, lifetime, userName, shell, programs, registry, messageBox});
    stock::qt::QtTrayIcon tray;
    stock::FrmClipboard frmClipboard({ui, clipboard, lock, lifetime, &frmAbout, &tray});
    stock::qt::onTerminationRequest([&frmClipboard] { frmClipboard.endSession(); });
    frmClipboard.load();
    if (ui.endRequested()) return 0;
    return QApplication::exec();
}
