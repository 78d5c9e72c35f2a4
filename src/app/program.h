#pragma once

#include "core/about/frm_about.h"
#include "core/main_window/frm_clipboard.h"
#include "core/main_window/lifetime.h"

namespace stock {

// The title of the program's message boxes.
inline constexpr char16_t kProgramTitle[] = u"すとっくん";

// What a front end and its operating system give the program.
struct ProgramServices {
    Ui& ui;
    Clipboard& clipboard;
    InstanceLock& instanceLock;
    UserName& userName;
    Shell& shell;
    Programs& programs;
    Registry& registry;
    MessageDialog& messageBox;
    TrayIcon* tray = nullptr;       // nullptr: no notification area
    HistoryStore* store = nullptr;  // nullptr: nothing kept between runs
};

// The program itself, the same on every front end: the main window and its
// About window on one lifetime.
class Program {
public:
    explicit Program(const ProgramServices& services);

    // Loads the main window. False when the program has already ended (a
    // second start handed over to the first); otherwise the front end runs
    // its event loop.
    bool start();
    // The desktop session ends (or the process is asked to end).
    void endSession() { main_.endSession(); }

    FrmClipboard& mainWindow() { return main_; }

private:
    Lifetime lifetime_;
    FrmAbout about_;
    FrmClipboard main_;
};

}  // namespace stock
