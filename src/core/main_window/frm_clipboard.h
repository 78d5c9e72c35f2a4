#pragma once

#include <memory>
#include <optional>

#include "core/editing/edit_commands.h"
#include "core/history/clipboard_watcher.h"
#include "core/history/history.h"
#include "core/history/history_filter.h"
#include "core/history/recall.h"
#include "core/main_window/about_form.h"
#include "core/main_window/lifetime.h"
#include "core/ports/clipboard.h"
#include "core/ports/controls.h"
#include "core/ports/history_store.h"
#include "core/ports/instance_lock.h"
#include "core/ports/tray.h"

namespace stock {

// The main window: start-up object, window modes and the ways the program ends.
class FrmClipboard {
public:
    struct Services {
        Ui& ui;
        Clipboard& clipboard;
        InstanceLock& instanceLock;
        Lifetime& lifetime;
        AboutForm* about = nullptr;     // nullptr: no About window
        TrayIcon* tray = nullptr;       // nullptr: no notification area
        HistoryStore* store = nullptr;  // nullptr: the history goes with the program
    };

    explicit FrmClipboard(Services services);
    ~FrmClipboard();
    FrmClipboard(const FrmClipboard&) = delete;
    FrmClipboard& operator=(const FrmClipboard&) = delete;

    // Creates the window with its layout, then runs Form_Load.
    void load();
    bool loaded() const { return loaded_; }
    // Runs Form_Unload and takes the window away; the process ends when no
    // window is loaded any more.
    void unload();
    Window& window() { return *window_; }
    // The history, once the window is loaded.
    const History& history() const { return *history_; }

    // The session ends (a logout): both windows go and the process ends, as
    // with "Exit".
    void endSession();

    void Form_Load();
    void Form_Unload();
    // The tray icon's mouse events, delivered as message numbers.
    void Tray_Event(int message);
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void mnuHide_Click();
    void mnuExit_Click();
    void mnusnormal_Click();
    void mnuCHistory_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuCut_Click();
    void mnuDelete_Click();

private:
    void wire();
    void wireFilter();

    Services s_;
    bool trayAdded_ = false;
    std::unique_ptr<Window> window_;
    std::optional<History> history_;  // goes before the window it shows in
    std::optional<ClipboardWatcher> watcher_;
    std::optional<HistoryFilter> filter_;
    std::optional<HistoryRecall> recall_;
    std::optional<EditCommands> edit_;
    bool loaded_ = false;
};

}  // namespace stock
