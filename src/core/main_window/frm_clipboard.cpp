#include "core/main_window/frm_clipboard.h"

#include "core/main_window/frm_clipboard_layout.h"
#include "core/guard/guard.h"
#include "core/main_window/set_window_topmost.h"

namespace stock {

FrmClipboard::FrmClipboard(Services services) : s_(services) {}

FrmClipboard::~FrmClipboard() = default;

void FrmClipboard::load() {
    // What was wired to an earlier window goes before that window does.
    edit_.reset();
    recall_.reset();
    filter_.reset();
    watcher_.reset();
    history_.reset();
    window_ = s_.ui.createWindow(frmClipboardLayout());
    loaded_ = true;
    s_.lifetime.windowLoaded();
    wire();
    Form_Load();
}

void FrmClipboard::wire() {
    Window& w = *window_;
    history_.emplace(w.listBox("List1"));
    history_->keepIn(s_.store);
    watcher_.emplace(s_.clipboard, w.textBox("RichTextBox2"), *history_);
    ClipboardWatcher& watcher = *watcher_;

    w.timer("Timer1").onTick(guarded("Timer1_Timer", [&watcher] { watcher.Timer1_Timer(); }));
    w.textBox("RichTextBox2").onChange(guarded("RichTextBox2_Change", [&watcher] { watcher.RichTextBox2_Change(); }));
    w.button("Command1").onClick(guarded("Command1_Click", [&watcher] { watcher.Command1_Click(); }));
    w.menuEntry("mnuCHistory").onClick(guarded("mnuCHistory_Click", [this] { mnuCHistory_Click(); }));

    recall_.emplace(*history_, w.textBox("RichTextBox1"));
    w.listBox("List1").onClick(guarded("List1_Click", [this] { recall_->List1_Click(); }));
    wireFilter();

    edit_.emplace(s_.clipboard, w.textBox("RichTextBox1"), s_.ui);
    EditCommands& edit = *edit_;
    w.button("Command2").onClick(guarded("Command2_Click", [&edit] { edit.Command2_Click(); }));
    w.button("Command3").onClick(guarded("Command3_Click", [&edit] { edit.Command3_Click(); }));
    w.button("Command4").onClick(guarded("Command4_Click", [&edit] { edit.Command4_Click(); }));
    w.button("Command5").onClick(guarded("Command5_Click", [&edit] { edit.Command5_Click(); }));
    w.menuEntry("mnuCopy").onClick(guarded("mnuCopy_Click", [this] { mnuCopy_Click(); }));
    w.menuEntry("mnuPaste").onClick(guarded("mnuPaste_Click", [this] { mnuPaste_Click(); }));
    w.menuEntry("mnuCut").onClick(guarded("mnuCut_Click", [this] { mnuCut_Click(); }));
    w.menuEntry("mnuDelete").onClick(guarded("mnuDelete_Click", [this] { mnuDelete_Click(); }));
    // The edit box's own keys do exactly what the buttons do.
    TextBox& box = w.textBox("RichTextBox1");
    box.onEditCommand(EditCommand::Copy, guarded("Command2_Click", [&edit] { edit.Command2_Click(); }));
    box.onEditCommand(EditCommand::Paste, guarded("Command3_Click", [&edit] { edit.Command3_Click(); }));
    box.onEditCommand(EditCommand::Cut, guarded("Command4_Click", [&edit] { edit.Command4_Click(); }));
    box.onEditCommand(EditCommand::Delete, guarded("Command5_Click", [&edit] { edit.Command5_Click(); }));

    w.button("Command6").onClick(guarded("Command6_Click", [this] { Command6_Click(); }));
    w.button("Command7").onClick(guarded("Command7_Click", [this] { Command7_Click(); }));
    w.button("Command8").onClick(guarded("Command8_Click", [this] { Command8_Click(); }));
    w.button("Command9").onClick(guarded("Command9_Click", [this] { Command9_Click(); }));
    w.menuEntry("mnuHide").onClick(guarded("mnuHide_Click", [this] { mnuHide_Click(); }));
    w.menuEntry("mnuExit").onClick(guarded("mnuExit_Click", [this] { mnuExit_Click(); }));
    w.menuEntry("mnusnormal").onClick(guarded("mnusnormal_Click", [this] { mnusnormal_Click(); }));
    w.onCloseRequest(guarded("frmClipboard close", [this] { unload(); }));
}

void FrmClipboard::wireFilter() {
    Window& w = *window_;
    FilterField& field = w.filterField("List1");
    filter_.emplace(*history_, w.listBox("List1"), field, s_.ui);
    HistoryFilter& filter = *filter_;
    w.listBox("List1").onTyped([&filter](const std::u16string& typed) noexcept {
        bool taken = false;
        callGuarded("List1_KeyPress", std::function<void()>([&] { taken = filter.List1_KeyPress(typed); }));
        return taken;
    });
    w.onFind(guarded("Form_Find", [&filter] { filter.Find(); }));
    field.onEdited(guarded("Filter_Change", [&filter] { filter.Filter_Change(); }));
    field.onEscape(guarded("Filter_Escape", [&filter] { filter.Filter_Escape(); }));
}

void FrmClipboard::Form_Load() {
    Window& w = *window_;
    w.menuEntry("mnuAbout").setVisible(false);
    if (s_.instanceLock.anotherInstanceRunning()) {
        // A second start ends here: no unload handler, nothing shown.
        s_.lifetime.endNow();
        return;
    }
    w.listBox("List1").setHorizontalExtent(kHistoryHorizontalExtent);
    SetWindowTopmost(w, 1);
    w.setOuterHeight(kOuterHeightAfterLoad);
    if (s_.tray) {
        s_.tray->add(kTrayTip, guardedEvent("Tray_Event", [this](int message) { Tray_Event(message); }));
        trayAdded_ = true;
    }
}

void FrmClipboard::Form_Unload() {
    if (trayAdded_) {
        trayAdded_ = false;
        s_.tray->remove();
    }
}

void FrmClipboard::Tray_Event(int message) {
    Window& w = *window_;
    switch (message) {
        case tray_message::kLeftDown:
            w.menuEntry("mnuAbout").setVisible(false);  // hidden since start-up already
            break;
        case tray_message::kLeftDoubleClick:
            w.show();
            break;
        case tray_message::kRightDown:
            w.setForeground();
            s_.ui.processEvents();
            if (loaded_) window_->popupMenu("mnuAbout");
            break;
        default:
            break;
    }
}

void FrmClipboard::unload() {
    if (!loaded_) return;
    loaded_ = false;
    try {
        Form_Unload();
    } catch (...) {
        reportFailure("Form_Unload");  // the unload is never cancelled
    }
    window_->destroy();
    s_.lifetime.windowUnloaded();
}

void FrmClipboard::Command6_Click() { window_->hide(); }

void FrmClipboard::mnuHide_Click() { window_->hide(); }

void FrmClipboard::Command7_Click() {
    if (s_.about) s_.about->unload();
    unload();
    s_.lifetime.endNow();
}

void FrmClipboard::mnuExit_Click() { unload(); }

void FrmClipboard::endSession() { Command7_Click(); }

void FrmClipboard::Command8_Click() {
    Window& w = *window_;
    if (w.button("Command8").caption() == kShowNormal) {
        SetWindowTopmost(w, 0);
        w.button("Command8").setCaption(kShowTop);
        w.menuEntry("mnusnormal").setCaption(kShowTop);
    } else {
        SetWindowTopmost(w, 1);
        w.button("Command8").setCaption(kShowNormal);
        w.menuEntry("mnusnormal").setCaption(kShowNormal);
    }
}

void FrmClipboard::mnusnormal_Click() { Command8_Click(); }

void FrmClipboard::mnuCHistory_Click() { watcher_->Command1_Click(); }

void FrmClipboard::mnuCopy_Click() { edit_->Command2_Click(); }

void FrmClipboard::mnuPaste_Click() { edit_->Command3_Click(); }

void FrmClipboard::mnuCut_Click() { edit_->Command4_Click(); }

void FrmClipboard::mnuDelete_Click() { edit_->Command5_Click(); }

void FrmClipboard::Command9_Click() {
    if (!s_.about) return;
    // The first touch loads the About window.
    const float top = static_cast<float>(window_->top()) - 1590.0f;
    s_.about->setTop(static_cast<int>(top));
    s_.about->setLeft(window_->left());
    s_.about->show();
}

}  // namespace stock
