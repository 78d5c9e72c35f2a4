// Test doubles for the platform interfaces. Every fake writes what it is
// asked to do into one shared log, so tests can check the order of steps.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "main_window/frm_clipboard.h"
#include "platform/clipboard.h"
#include "platform/controls.h"
#include "platform/instance_lock.h"

namespace stock::test {

using Log = std::vector<std::string>;

inline std::string narrow(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

class FakeTextBox final : public TextBox {
public:
    FakeTextBox(std::string name, Log& log) : name_(std::move(name)), log_(log) {}
    SharedText text() const override { return text_; }
    void setText(SharedText t) override {
        log_.push_back(name_ + ".setText");
        if (t == text_) return;
        text_ = std::move(t);
        selStart_ = selLen_ = 0;
        if (change_) change_();
    }
    std::size_t selLength() const override { return selLen_; }
    SharedText selText() const override { return SharedText(text_.str().substr(selStart_, selLen_)); }
    void setSelText(const SharedText& t) override {
        const SharedText before = text_;
        text_ = text_.str().substr(0, selStart_) + t.str() + text_.str().substr(selStart_ + selLen_);
        selStart_ += t.size();
        selLen_ = 0;
        if (text_ != before && change_) change_();
    }
    void onChange(Handler h) override { change_ = std::move(h); }
    void onEditCommand(EditCommand c, Handler h) override { editCommands_[c] = std::move(h); }
    // The box's own key for a command, as the user would press it.
    void press(EditCommand c) {
        if (auto it = editCommands_.find(c); it != editCommands_.end() && it->second) it->second();
    }

    void select(std::size_t start, std::size_t length) { selStart_ = start, selLen_ = length; }
    // What the user typing into the box would do.
    void type(const std::u16string& t) { setSelText(SharedText(t)); }

private:
    std::string name_;
    Log& log_;
    SharedText text_;
    std::size_t selStart_ = 0, selLen_ = 0;
    Handler change_;
    std::map<EditCommand, Handler> editCommands_;
};

class FakeListBox final : public ListBox {
public:
    FakeListBox(std::string, Log&) {}
    void setRows(const ListRows* r) override {
        source = r;
        shown = r ? r->size() : 0;
    }
    void rowInserted(std::size_t) override {
        if (failInserts) throw std::runtime_error("list full");
        ++shown;
    }
    void rowsCleared() override {
        shown = source ? source->size() : 0;
        current = -1;
    }
    long currentIndex() const override { return current; }
    void setHorizontalExtent(int) override {}
    void onClick(Handler h) override { click_ = std::move(h); }
    void pick(long row) {
        current = row;
        if (click_) click_();
    }

    const ListRows* source = nullptr;
    std::size_t shown = 0;  // rows the list was told of
    long current = -1;
    bool failInserts = false;

private:
    Handler click_;
};

class FakeButton final : public Button {
public:
    explicit FakeButton(std::u16string caption) : caption_(std::move(caption)) {}
    std::u16string caption() const override { return caption_; }
    void setCaption(const std::u16string& c) override { caption_ = c; }
    void onClick(Handler h) override { click_ = std::move(h); }
    void click() {
        if (click_) click_();
    }

private:
    std::u16string caption_;
    Handler click_;
};

class FakeLabel final : public Label {
public:
    explicit FakeLabel(std::u16string caption) : caption_(std::move(caption)) {}
    std::u16string caption() const override { return caption_; }
    void setBold(bool b) override { bold_ = b; }
    bool bold() const override { return bold_; }
    void onClick(Handler h) override { click_ = std::move(h); }
    void onMouseMove(Handler h) override { move_ = std::move(h); }
    void click() {
        if (click_) click_();
    }
    void mouseMove() {
        if (move_) move_();
    }

private:
    std::u16string caption_;
    bool bold_ = false;
    Handler click_, move_;
};

class FakeMenuEntry final : public MenuEntry {
public:
    FakeMenuEntry(std::string name, std::u16string caption, Log& log)
        : name_(std::move(name)), caption_(std::move(caption)), log_(log) {}
    std::u16string caption() const override { return caption_; }
    void setCaption(const std::u16string& c) override { caption_ = c; }
    bool visible() const override { return visible_; }
    void setVisible(bool v) override {
        log_.push_back(name_ + (v ? ".show" : ".hide"));
        visible_ = v;
    }
    void onClick(Handler h) override { click_ = std::move(h); }
    void click() {
        if (click_) click_();
    }

private:
    std::string name_;
    std::u16string caption_;
    Log& log_;
    bool visible_ = true;
    Handler click_;
};

class FakeTimer final : public Timer {
public:
    void onTick(Handler h) override { tick_ = std::move(h); }
    void tick() {
        if (tick_) tick_();
    }

private:
    Handler tick_;
};

class FakeWindow final : public Window {
    template <class Map>
    static auto* find(Map& m, std::string_view n) {
        auto it = m.find(n);
        if (it == m.end()) throw std::out_of_range("no control " + std::string(n));
        return it->second.get();
    }

public:
    FakeWindow(const FormSpec& layout, Log& log);

    FakeTextBox& textBox(std::string_view n) override { return *find(textBoxes_, n); }
    FakeListBox& listBox(std::string_view n) override { return *find(listBoxes_, n); }
    FakeButton& button(std::string_view n) override { return *find(buttons_, n); }
    FakeLabel& label(std::string_view n) override { return *find(labels_, n); }
    FakeMenuEntry& menuEntry(std::string_view n) override { return *find(menuEntries_, n); }
    FakeTimer& timer(std::string_view n) override { return *find(timers_, n); }

    void show() override {
        log_.push_back(name_ + ".show");
        visible_ = true;
    }
    void hide() override {
        log_.push_back(name_ + ".hide");
        visible_ = false;
    }
    bool visible() const override { return visible_; }
    void setForeground() override { log_.push_back(name_ + ".foreground"); }
    bool setTopmost(bool on) override {
        log_.push_back(name_ + (on ? ".topmost" : ".normal"));
        topmost_ = on;
        visible_ = true;
        return true;
    }
    bool topmost() const override { return topmost_; }
    int outerHeight() const override { return outerHeight_; }
    void setOuterHeight(int t) override { outerHeight_ = t; }
    int top() const override { return top_; }
    int left() const override { return left_; }
    void setTop(int t) override { top_ = t; }
    void setLeft(int t) override { left_ = t; }
    void popupMenu(std::string_view entry) override { log_.push_back(name_ + ".popup(" + std::string(entry) + ")"); }
    void onCloseRequest(Handler h) override { close_ = std::move(h); }
    void onMouseMove(Handler h) override { move_ = std::move(h); }
    void destroy() override {
        log_.push_back(name_ + ".destroy");
        destroyed = true;
        visible_ = false;
    }

    void requestClose() {
        if (close_) close_();
    }
    void mouseMove() {
        if (move_) move_();
    }

    bool destroyed = false;

private:
    std::string name_;
    Log& log_;
    bool visible_ = false, topmost_ = false;
    int outerHeight_ = 0, top_ = 0, left_ = 0;
    Handler close_, move_;
    std::map<std::string, std::unique_ptr<FakeTextBox>, std::less<>> textBoxes_;
    std::map<std::string, std::unique_ptr<FakeListBox>, std::less<>> listBoxes_;
    std::map<std::string, std::unique_ptr<FakeButton>, std::less<>> buttons_;
    std::map<std::string, std::unique_ptr<FakeLabel>, std::less<>> labels_;
    std::map<std::string, std::unique_ptr<FakeMenuEntry>, std::less<>> menuEntries_;
    std::map<std::string, std::unique_ptr<FakeTimer>, std::less<>> timers_;
};

inline FakeWindow::FakeWindow(const FormSpec& layout, Log& log) : name_(layout.name), log_(log) {
    for (const auto& c : layout.controls) {
        switch (c.kind) {
            case ControlKind::TextBox:
                textBoxes_.emplace(c.name, std::make_unique<FakeTextBox>(c.name, log));
                break;
            case ControlKind::ListBox:
                listBoxes_.emplace(c.name, std::make_unique<FakeListBox>(c.name, log));
                break;
            case ControlKind::Button:
                buttons_.emplace(c.name, std::make_unique<FakeButton>(c.caption));
                break;
            case ControlKind::Label:
            case ControlKind::Image:
                labels_.emplace(c.name, std::make_unique<FakeLabel>(c.caption));
                break;
            case ControlKind::Timer:
                timers_.emplace(c.name, std::make_unique<FakeTimer>());
                break;
            case ControlKind::Line:
                break;
        }
    }
    for (const auto& m : layout.menu)
        menuEntries_.emplace(m.name, std::make_unique<FakeMenuEntry>(m.name, m.caption, log));
}

class FakeUi final : public Ui {
public:
    explicit FakeUi(Log& log) : log_(log) {}
    std::unique_ptr<Window> createWindow(const FormSpec& form) override {
        log_.push_back("create " + form.name);
        auto w = std::make_unique<FakeWindow>(form, log_);
        windows[form.name] = w.get();
        return w;
    }
    double twipsPerPixelX() const override { return 15.0; }
    void processEvents() override {
        log_.push_back("processEvents");
        if (pending) pending();
    }
    void endProcess() override {
        log_.push_back("endProcess");
        ended = true;
    }
    void beep() override { ++beeps; }
    int beeps = 0;
    FakeWindow& window(const std::string& name) { return *windows.at(name); }
    bool ended = false;
    Handler pending;
    std::map<std::string, FakeWindow*> windows;

private:
    Log& log_;
};

// A clipboard whose next reads can be scripted. Without a script it answers
// its current text.
class FakeClipboard final : public Clipboard {
public:
    explicit FakeClipboard(Log& log) : log_(log) {}
    std::optional<ClipboardText> readText() override {
        log_.push_back("clipboard.read");
        ++reads;
        if (!script.empty()) {
            auto v = script.front();
            script.pop_front();
            if (!v) return std::nullopt;
            return ClipboardText{SharedText(*v)};
        }
        if (busy) return std::nullopt;
        if (secret) return ClipboardText{SharedText(), true};
        return ClipboardText{SharedText(text)};
    }
    std::optional<SharedText> readTextToPaste() override {
        log_.push_back("clipboard.read");
        if (busy) return std::nullopt;
        return SharedText(text);
    }
    bool writeText(const SharedText& t) override {
        log_.push_back("clipboard.write");
        if (busy || failWrites) return false;
        text = t.str();
        if (count) ++*count;
        return true;
    }
    std::optional<std::uint64_t> changeCount() override { return count; }
    // Sets the text as another program would, with a new change count.
    void own(const std::u16string& t) {
        text = t;
        if (count) ++*count;
    }
    std::optional<std::uint64_t> count;  // nullopt: the clipboard cannot tell

    std::u16string text;
    bool busy = false;
    bool secret = false;  // its owner marks the text a secret
    bool failWrites = false;
    int reads = 0;
    std::deque<std::optional<std::u16string>> script;

private:
    Log& log_;
};

class FakeInstanceLock final : public InstanceLock {
public:
    explicit FakeInstanceLock(Log&) {}
    bool anotherInstanceRunning() override { return held; }
    bool held = false;
};

// The main window over doubles; each start() is a new start of the program.
struct MainWindowDoubles {
    Log log;
    FakeUi ui{log};
    FakeClipboard clipboard{log};
    FakeInstanceLock lock{log};
    Lifetime lifetime{ui};
    std::unique_ptr<FrmClipboard> frm;

    FakeWindow& win() { return ui.window("frmClipboard"); }
    void start(AboutForm* about = nullptr, TrayIcon* tray = nullptr) {
        frm = std::make_unique<FrmClipboard>(FrmClipboard::Services{ui, clipboard, lock, lifetime, about, tray});
        frm->load();
    }
};

}  // namespace stock::test
