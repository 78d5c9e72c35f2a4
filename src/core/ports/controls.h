// Controls and windows as the core sees them. A front end builds a Window from
// a FormSpec and hands out its controls by name; the core attaches handlers
// and never sees a toolkit type.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/layout/layout.h"
#include "core/text/shared_text.h"

namespace stock {

using Handler = std::function<void()>;

// The editing commands a text box's own keys and context menu ask for.
enum class EditCommand { Copy, Cut, Paste, Delete };

class TextBox {
public:
    virtual ~TextBox() = default;
    // The whole text, exactly as last set or edited (line breaks untouched).
    // A text that was set is handed back as the same shared buffer.
    virtual SharedText text() const = 0;
    // Replaces the whole text, keeping the shared buffer; when it differs,
    // the change handler has run before this returns.
    virtual void setText(SharedText text) = 0;
    // Selection in UTF-16 code units of text().
    virtual std::size_t selLength() const = 0;
    virtual SharedText selText() const = 0;
    // Replaces the selection, or inserts at the caret when nothing is selected.
    virtual void setSelText(const SharedText& text) = 0;
    virtual void onChange(Handler handler) = 0;
    // Routes one of the box's own editing commands (Ctrl+C and the like) to
    // a handler; without one, the box does the command itself.
    virtual void onEditCommand(EditCommand command, Handler handler) = 0;
};

// The rows a list shows. Their owner keeps them; the list asks for a row's
// text whenever it shows that row.
class ListRows {
public:
    virtual std::size_t size() const = 0;
    virtual std::u16string shown(std::size_t row) const = 0;

protected:
    ~ListRows() = default;
};

class ListBox {
public:
    virtual ~ListBox() = default;
    // The rows to show from now on (nullptr: none). They must stay valid
    // until they are replaced.
    virtual void setRows(const ListRows* rows) = 0;
    // The rows' owner inserted a row at `index`, added `count` rows after the
    // last one, or removed them all.
    virtual void rowInserted(std::size_t index) = 0;
    virtual void rowsAppended(std::size_t count) = 0;
    virtual void rowsCleared() = 0;
    // Index of the current row, -1 when there is none.
    virtual long currentIndex() const = 0;
    // Makes a row current (-1: none) without the click handler running.
    virtual void setCurrentIndex(long row) = 0;
    // Width in pixels over which the rows scroll sideways.
    virtual void setHorizontalExtent(int pixels) = 0;
    // The user made a row the current row (mouse or keyboard).
    virtual void onClick(Handler handler) = 0;
    // The user typed text (a character, or what an input method composed)
    // while the list had the keyboard. The handler answers whether it took the
    // text; what it does not take, the list handles as it would by itself.
    virtual void onTyped(std::function<bool(const std::u16string&)> handler) = 0;
};

// A one-line field that a list shows over its bottom edge while the user
// narrows its rows.
class FilterField {
public:
    virtual ~FilterField() = default;
    // Shows the field holding `text`, with the keyboard in it and the caret
    // at its end; the edit handler does not run.
    virtual void open(const std::u16string& text) = 0;
    // Hides the field and gives the keyboard back to the list.
    virtual void close() = 0;
    virtual std::u16string text() const = 0;
    // How many rows match, shown beside the text.
    virtual void setCount(const std::u16string& count) = 0;
    // The user changed the text.
    virtual void onEdited(Handler handler) = 0;
    // The user pressed Esc in the field.
    virtual void onEscape(Handler handler) = 0;
};

class Button {
public:
    virtual ~Button() = default;
    virtual std::u16string caption() const = 0;
    virtual void setCaption(const std::u16string& caption) = 0;
    virtual void onClick(Handler handler) = 0;
};

class Label {
public:
    virtual ~Label() = default;
    virtual std::u16string caption() const = 0;
    virtual void setBold(bool bold) = 0;
    virtual bool bold() const = 0;
    virtual void onClick(Handler handler) = 0;
    virtual void onMouseMove(Handler handler) = 0;
};

class MenuEntry {
public:
    virtual ~MenuEntry() = default;
    virtual std::u16string caption() const = 0;
    virtual void setCaption(const std::u16string& caption) = 0;
    virtual bool visible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual void onClick(Handler handler) = 0;
};

class Timer {
public:
    virtual ~Timer() = default;
    virtual void onTick(Handler handler) = 0;
};

// A top-level window built from a FormSpec. Positions are in twips.
class Window {
public:
    virtual ~Window() = default;

    virtual TextBox& textBox(std::string_view name) = 0;
    virtual ListBox& listBox(std::string_view name) = 0;
    virtual Button& button(std::string_view name) = 0;
    virtual Label& label(std::string_view name) = 0;
    virtual MenuEntry& menuEntry(std::string_view name) = 0;
    virtual Timer& timer(std::string_view name) = 0;
    // The filter field over a list box of the window.
    virtual FilterField& filterField(std::string_view listName) = 0;

    virtual void show() = 0;  // visible and active, without a modal loop
    virtual void hide() = 0;
    virtual bool visible() const = 0;
    // Brings a shown window to the front and gives it the keyboard; a hidden
    // window stays hidden.
    virtual void setForeground() = 0;
    // Topmost (true) or normal (false); also shows and activates the window.
    // Answers whether the platform took the change.
    virtual bool setTopmost(bool topmost) = 0;
    virtual bool topmost() const = 0;

    virtual int outerHeight() const = 0;
    virtual void setOuterHeight(int twips) = 0;
    virtual int top() const = 0;
    virtual int left() const = 0;
    virtual void setTop(int twips) = 0;
    virtual void setLeft(int twips) = 0;

    // Shows the submenu of a menu entry as a popup at the pointer; returns
    // when the popup has closed.
    virtual void popupMenu(std::string_view entry) = 0;

    // The user asked the frame to close the window.
    virtual void onCloseRequest(Handler handler) = 0;
    // The pointer moved over the window's own surface, not over a control.
    virtual void onMouseMove(Handler handler) = 0;
    // The user pressed Ctrl+F anywhere in the window.
    virtual void onFind(Handler handler) = 0;

    // Takes the window off the screen for good; the object stays valid but
    // inert, so that it may be released later, outside its own handlers.
    virtual void destroy() = 0;
};

// The windowing system as a whole.
class Ui {
public:
    virtual ~Ui() = default;
    virtual std::unique_ptr<Window> createWindow(const FormSpec& form) = 0;
    // Screen twips per pixel, horizontally (15 at 96 DPI).
    virtual double twipsPerPixelX() const = 0;
    // Runs the events that are waiting, then returns.
    virtual void processEvents() = 0;
    // Runs `handler` once from the event loop, after the events waiting now.
    virtual void runSoon(Handler handler) = 0;
    // Ends the process as soon as the current handler returns to the event loop.
    virtual void endProcess() = 0;
    // A short sign that something could not be done; never blocks.
    virtual void beep() = 0;
};

}  // namespace stock
