// Test doubles for the platform interfaces. The UI writes the windows it
// creates and destroys, and the end of the process, into one shared log, so
// tests can check the order of those steps.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/ports/clipboard.h"
#include "core/ports/controls.h"
#include "core/ports/history_store.h"
#include "core/ports/instance_lock.h"
#include "core/ports/tray.h"

namespace stock::test {

using Log = std::vector<std::string>;

class FakeTextBox final : public TextBox {
public:
    SharedText text() const override { return text_; }
    void setText(SharedText t) override {
        if (t == text_) return;
        text_ = std::move(t);
        if (change_) change_();
    }
    std::size_t selLength() const override { return selLen_; }
    SharedText selText() const override { return SharedText(text_.str().substr(selStart_, selLen_)); }
    void setSelText(const SharedText& t) override {
        text_ = text_.str().substr(0, selStart_) + t.str() + text_.str().substr(selStart_ + selLen_);
        selStart_ += t.size();
        selLen_ = 0;
    }
    void onChange(Handler h) override { change_ = std::move(h); }
    void onEditCommand(EditCommand c, Handler h) override { commands_[c] = std::move(h); }

    void select(std::size_t start, std::size_t length) { selStart_ = start, selLen_ = length; }
    // The user presses the box's own key for the command (Ctrl+C and the
    // like); false when no handler took it.
    bool press(EditCommand c) {
        const auto h = commands_.find(c);
        if (h == commands_.end() || !h->second) return false;
        h->second();
        return true;
    }

private:
    SharedText text_;
    std::size_t selStart_ = 0, selLen_ = 0;
    Handler change_;
    std::map<EditCommand, Handler> commands_;
};

class FakeListBox final : public ListBox {
public:
    void setRows(const ListRows* r) override {
        rows_ = r;
        drawn_ = r ? r->size() : 0;
    }
    void rowInserted(std::size_t index) override {
        ++drawn_;
        if (current_ >= static_cast<long>(index)) ++current_;
    }
    void rowsAppended(std::size_t count) override { drawn_ += count; }
    void rowsCleared() override {
        current_ = -1;
        drawn_ = rows_ ? rows_->size() : 0;
    }
    long currentIndex() const override { return current_; }
    void setCurrentIndex(long row) override { current_ = row; }
    void setHorizontalExtent(int) override {}
    void onClick(Handler h) override { click_ = std::move(h); }
    void onTyped(std::function<bool(const std::u16string&)> h) override { typed_ = std::move(h); }

    // The user types while the list has the keyboard.
    void type(const std::u16string& text) {
        if (typed_) typed_(text);
    }
    std::size_t drawn() const { return drawn_; }

    // The user makes a row the current one.
    void pick(long row) {
        current_ = row;
        if (click_) click_();
    }
    // Every row as the list draws it, the top one first: as many as it was
    // told of.
    std::vector<std::u16string> shown() const {
        std::vector<std::u16string> out;
        for (std::size_t i = 0; rows_ && i < drawn_; ++i) out.push_back(rows_->shown(i));
        return out;
    }

private:
    const ListRows* rows_ = nullptr;
    std::size_t drawn_ = 0;
    long current_ = -1;
    Handler click_;
    std::function<bool(const std::u16string&)> typed_;
};

class FakeFilterField final : public FilterField {
public:
    void open(const std::u16string& t) override {
        open_ = true;
        text_ = t;
    }
    void close() override { open_ = false; }
    bool isOpen() const { return open_; }
    std::u16string text() const override { return text_; }
    void setCount(const std::u16string& c) override { count = c; }
    void onEdited(Handler h) override { edited_ = std::move(h); }
    void onEscape(Handler h) override { escape_ = std::move(h); }

    // The user edits the field's text, or presses Esc.
    void edit(const std::u16string& t) {
        text_ = t;
        if (edited_) edited_();
    }
    void escape() {
        if (escape_) escape_();
    }
    std::u16string count;

private:
    bool open_ = false;
    std::u16string text_;
    Handler edited_, escape_;
};

// Every control that is no more than a caption and its handlers: buttons,
// labels, menu entries and timers (whose tick is a click here).
class FakeControl final : public Button, public Label, public MenuEntry, public Timer {
public:
    explicit FakeControl(std::u16string caption) : caption_(std::move(caption)) {}
    std::u16string caption() const override { return caption_; }
    void setCaption(const std::u16string& c) override { caption_ = c; }
    void setBold(bool) override {}
    bool bold() const override { return false; }
    bool visible() const override { return true; }
    void setVisible(bool) override {}
    void onClick(Handler h) override { click_ = std::move(h); }
    void onMouseMove(Handler) override {}
    void onTick(Handler h) override { click_ = std::move(h); }

    void click() {
        if (click_) click_();
    }

private:
    std::u16string caption_;
    Handler click_;
};

class FakeWindow final : public Window {
public:
    FakeWindow(const FormSpec& form, Log& log) : name_(form.name), log_(log) {
        for (const auto& c : form.controls) {
            if (c.kind == ControlKind::TextBox)
                textBoxes_.try_emplace(c.name);
            else if (c.kind == ControlKind::ListBox)
                listBoxes_.try_emplace(c.name);
            else
                controls_.try_emplace(c.name, c.caption);
        }
        for (const auto& m : form.menu) controls_.try_emplace(m.name, m.caption);
    }

    FakeTextBox& textBox(std::string_view n) override { return textBoxes_.at(std::string(n)); }
    FakeListBox& listBox(std::string_view n) override { return listBoxes_.at(std::string(n)); }
    FakeControl& button(std::string_view n) override { return controls_.at(std::string(n)); }
    FakeControl& label(std::string_view n) override { return controls_.at(std::string(n)); }
    FakeControl& menuEntry(std::string_view n) override { return controls_.at(std::string(n)); }
    FakeControl& timer(std::string_view n) override { return controls_.at(std::string(n)); }
    FakeFilterField& filterField(std::string_view n) override { return fields_[std::string(n)]; }

    void show() override { shown_ = true; }
    void hide() override { shown_ = false; }
    bool visible() const override { return shown_; }
    void setForeground() override { log_.push_back(name_ + ".setForeground"); }
    bool setTopmost(bool on) override {
        topmost_ = on;
        shown_ = true;
        return true;
    }
    bool topmost() const override { return topmost_; }
    int outerHeight() const override { return 0; }
    void setOuterHeight(int) override {}
    int top() const override { return top_; }
    int left() const override { return left_; }
    void setTop(int t) override { top_ = t; }
    void setLeft(int t) override { left_ = t; }
    void popupMenu(std::string_view entry) override { log_.push_back(name_ + ".popup " + std::string(entry)); }
    void onCloseRequest(Handler) override {}
    void onMouseMove(Handler) override {}
    void onFind(Handler h) override { find_ = std::move(h); }
    void destroy() override { log_.push_back(name_ + ".destroy"); }
    // The user presses Ctrl+F.
    void find() {
        if (find_) find_();
    }

private:
    std::string name_;
    Log& log_;
    bool topmost_ = false, shown_ = false;
    int top_ = 0, left_ = 0;
    std::map<std::string, FakeTextBox> textBoxes_;
    std::map<std::string, FakeListBox> listBoxes_;
    std::map<std::string, FakeControl> controls_;
    std::map<std::string, FakeFilterField> fields_;
    Handler find_;
};

class FakeUi final : public Ui {
public:
    explicit FakeUi(Log& log) : log_(log) {}
    std::unique_ptr<Window> createWindow(const FormSpec& form) override {
        log_.push_back("create " + form.name);
        auto w = std::make_unique<FakeWindow>(form, log_);
        windows_[form.name] = w.get();
        return w;
    }
    double twipsPerPixelX() const override { return 15.0; }
    void processEvents() override { log_.push_back("processEvents"); }
    void endProcess() override { log_.push_back("endProcess"); }
    void beep() override { ++beeps; }
    void runSoon(Handler h) override { soon.push_back(std::move(h)); }
    // Runs what was asked to run soon, as the event loop would, until nothing is left.
    void runAllSoon() {
        while (!soon.empty()) {
            Handler h = std::move(soon.front());
            soon.erase(soon.begin());
            h();
        }
    }
    std::vector<Handler> soon;

    // The window last created from the form of that name.
    FakeWindow& window(const std::string& form) { return *windows_.at(form); }
    int beeps = 0;

private:
    Log& log_;
    std::map<std::string, FakeWindow*> windows_;
};

// The text another program left on the clipboard. A busy clipboard can be
// neither read nor written. `nextReads` answers the next reads before the
// standing text does (the clipboard changing between two reads); `count`,
// when set, is the change count, which the test moves on.
class FakeClipboard final : public Clipboard {
public:
    std::optional<ClipboardText> readText() override {
        ++reads;
        if (!nextReads.empty()) {
            ClipboardText next = std::move(nextReads.front());
            nextReads.pop_front();
            return next;
        }
        if (busy) return std::nullopt;
        if (secret) return ClipboardText{SharedText(), true};
        return ClipboardText{SharedText(text)};
    }
    std::optional<SharedText> readTextToPaste() override {
        if (busy) return std::nullopt;
        return SharedText(text);
    }
    bool writeText(const SharedText& t) override {
        if (busy) return false;
        text = t.str();
        return true;
    }
    std::optional<std::uint64_t> changeCount() override { return count; }

    std::u16string text;
    bool busy = false;
    bool secret = false;  // its owner marks the text a secret
    std::deque<ClipboardText> nextReads;
    std::optional<std::uint64_t> count;
    int reads = 0;  // calls of readText()
};

// A kept history: what the program stored, and what it is handed next.
class FakeStore final : public HistoryStore {
public:
    void append(const SharedText& t) override { stored.push_back(t.str()); }
    void clear() override { stored.clear(), ++clears; }
    News poll() override { return std::exchange(next, {}); }
    void appendAll(std::vector<SharedText> oldestFirst) override {
        for (const auto& t : oldestFirst) stored.push_back(t.str());
    }
    std::vector<std::u16string> stored;  // oldest first
    int clears = 0;
    News next;
};

class FakeInstanceLock final : public InstanceLock {
public:
    bool anotherInstanceRunning() override { return another; }
    bool another = false;  // another instance holds the lock
};

// The notification area's icon; `event` is the user's mouse on it.
class FakeTray final : public TrayIcon {
public:
    void add(const std::u16string& t, std::function<void(int)> onEvent) override {
        tip = t;
        added = true;
        onEvent_ = std::move(onEvent);
    }
    void remove() override { added = false; }
    void event(int message) {
        if (added && onEvent_) onEvent_(message);
    }

    std::u16string tip;
    bool added = false;

private:
    std::function<void(int)> onEvent_;
};

}  // namespace stock::test
