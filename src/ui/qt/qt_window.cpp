#include "ui/qt/qt_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextDocument>
#include <QTimer>
#include <QWindow>
#include <optional>
#include <stdexcept>

#include "core/guard/guard.h"
#include "core/main_window/frm_clipboard_layout.h"
#include "core/ports/inert_control.h"
#include "ui/qt/exact_text_edit.h"
#include "ui/qt/history_list.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/qt_text.h"
#include "os/x11/x11_hints.h"

namespace stock::qt {
namespace {

// Runs a handler; nothing it throws reaches the event loop, and an empty one
// does nothing.
void runHandler(const Handler& h) { callGuarded("window event", h); }

// Keeps a shown top-level window out of the taskbar and the pager (X11).
void keepOffTaskbar(QWidget* w) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    QWindow* handle = w ? w->windowHandle() : nullptr;
    if (x11 && handle) x11::setSkipTaskbar(x11->connection(), static_cast<std::uint32_t>(handle->winId()));
}

// Whether a widget (a popup window included) hangs below `form`.
bool belongsTo(const QWidget* w, const QWidget* form) {
    for (; w; w = w->parentWidget())
        if (w == form) return true;
    return false;
}

QFont toFont(const FontSpec& font) {
    QFont f(toQ(font.family));
    f.setPointSizeF(font.points);
    f.setWeight(static_cast<QFont::Weight>(font.weight));
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeOut);
    return f;
}

class LineWidget : public QWidget {
public:
    using QWidget::QWidget;
    bool vertical = true;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(palette().color(QPalette::Button));
        if (vertical)
            p.drawLine(0, 0, 0, height() - 1);
        else
            p.drawLine(0, 0, width() - 1, 0);
    }
};

class QtTextBox final : public TextBox, public InertControl {
public:
    explicit QtTextBox(ExactTextEdit* w) : w_(w) {
        w->changed = [this] { runHandler(change_); };
    }
    SharedText text() const override { return w_ ? w_->exactText() : SharedText(); }
    void setText(SharedText t) override {
        if (w_) w_->setExactText(std::move(t));
    }
    std::size_t selLength() const override { return w_ ? w_->selectionEnd() - w_->selectionStart() : 0; }
    SharedText selText() const override { return w_ ? w_->selectedExactText() : SharedText(); }
    void setSelText(const SharedText& t) override {
        if (w_) w_->replaceSelection(t);
    }
    void onChange(Handler h) override { keep(change_, std::move(h)); }
    void onEditCommand(EditCommand c, Handler h) override {
        if (!w_ || dropped()) return;
        w_->commandHandler(c) = [h = std::move(h)] { runHandler(h); };
    }

private:
    void dropHandlers() override {
        change_ = nullptr;
        if (!w_) return;
        for (const auto c : {EditCommand::Copy, EditCommand::Cut, EditCommand::Paste, EditCommand::Delete})
            w_->commandHandler(c) = nullptr;
    }
    QPointer<ExactTextEdit> w_;
    Handler change_;
};

class QtListBox final : public ListBox, public InertControl {
public:
    explicit QtListBox(HistoryView* w) : w_(w) {
        w->clickedRow = [this] { runHandler(click_); };
    }
    void setRows(const ListRows* rows) override {
        if (w_) w_->setRows(rows);
    }
    void rowInserted(std::size_t index) override {
        if (w_) w_->rowInserted(index);
    }
    void rowsAppended(std::size_t count) override {
        if (w_) w_->rowsAppended(count);
    }
    void rowsCleared() override {
        if (w_) w_->rowsCleared();
    }
    long currentIndex() const override {
        if (!w_ || !w_->currentIndex().isValid()) return -1;
        return w_->currentIndex().row();
    }
    void setCurrentIndex(long row) override {
        if (w_) w_->setCurrentRow(row);
    }
    void onTyped(std::function<bool(const std::u16string&)> h) override {
        if (!w_ || dropped()) return;
        w_->typed = std::move(h);
    }
    void setHorizontalExtent(int pixels) override {
        if (w_) w_->setHorizontalExtent(pixels);
    }
    void onClick(Handler h) override { keep(click_, std::move(h)); }

private:
    void dropHandlers() override {
        click_ = nullptr;
        if (w_) w_->typed = nullptr;
    }
    QPointer<HistoryView> w_;
    Handler click_;
};

class QtFilterField final : public FilterField, public InertControl {
public:
    explicit QtFilterField(FilterBar* w) : w_(w) {
        w->edited = [this] { runHandler(edited_); };
        w->escape = [this] { runHandler(escape_); };
    }
    void open(const std::u16string& text) override {
        if (w_) w_->open(toQ(text));
    }
    void close() override {
        if (w_) w_->close();
    }
    std::u16string text() const override { return w_ ? w_->edit()->text().toStdU16String() : std::u16string(); }
    void setCount(const std::u16string& count) override {
        if (w_) w_->count()->setText(toQ(count));
    }
    void onEdited(Handler h) override { keep(edited_, std::move(h)); }
    void onEscape(Handler h) override { keep(escape_, std::move(h)); }

private:
    void dropHandlers() override {
        edited_ = nullptr;
        escape_ = nullptr;
    }
    QPointer<FilterBar> w_;
    Handler edited_, escape_;
};

class QtButton final : public Button, public InertControl {
public:
    explicit QtButton(QPushButton* w) : w_(w) {
        QObject::connect(w, &QPushButton::clicked, w, [this] { runHandler(click_); });
    }
    std::u16string caption() const override { return w_ ? fromQ(w_->text()) : std::u16string(); }
    void setCaption(const std::u16string& c) override {
        if (w_) {
            w_->setText(toQ(c));
            w_->setAccessibleName(toQ(c));
        }
    }
    void onClick(Handler h) override { keep(click_, std::move(h)); }

private:
    void dropHandlers() override { click_ = nullptr; }
    QPointer<QPushButton> w_;
    Handler click_;
};

class ClickLabel : public QLabel {
public:
    using QLabel::QLabel;
    Handler click, move;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        QLabel::mouseReleaseEvent(e);
        if (rect().contains(e->position().toPoint())) runHandler(click);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        QLabel::mouseMoveEvent(e);
        if (!move) return;
        runHandler(move);
        e->accept();  // a move over the label is not a move over the window
    }
};

class QtLabel final : public Label, public InertControl {
public:
    explicit QtLabel(ClickLabel* w) : w_(w) {}
    std::u16string caption() const override { return w_ ? fromQ(w_->text()) : std::u16string(); }
    void setBold(bool bold) override {
        if (!w_) return;
        QFont f = w_->font();
        f.setBold(bold);
        w_->setFont(f);
    }
    bool bold() const override { return w_ && w_->font().bold(); }
    void onClick(Handler h) override {
        if (!w_ || dropped()) return;
        w_->click = std::move(h);
        w_->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    }
    void onMouseMove(Handler h) override {
        if (!w_ || dropped()) return;
        w_->move = std::move(h);
        w_->setAttribute(Qt::WA_TransparentForMouseEvents, false);
        w_->setMouseTracking(true);
    }

private:
    void dropHandlers() override {
        if (!w_) return;
        w_->click = nullptr;
        w_->move = nullptr;
    }
    QPointer<ClickLabel> w_;
};

class QtMenuEntry final : public MenuEntry, public InertControl {
public:
    QtMenuEntry(QAction* a, std::u16string caption, std::function<void()> visibilityChanged)
        : a_(a), caption_(std::move(caption)), visibilityChanged_(std::move(visibilityChanged)) {
        QObject::connect(a, &QAction::triggered, a, [this] { runHandler(click_); });
    }
    std::u16string caption() const override { return caption_; }
    void setCaption(const std::u16string& c) override {
        caption_ = c;
        if (a_) a_->setText(toQ(c));
    }
    bool visible() const override { return a_ && a_->isVisible(); }
    void setVisible(bool v) override {
        if (!a_) return;
        a_->setVisible(v);
        if (visibilityChanged_) visibilityChanged_();
    }
    void onClick(Handler h) override { keep(click_, std::move(h)); }

private:
    void dropHandlers() override { click_ = nullptr; }
    QPointer<QAction> a_;
    std::u16string caption_;
    std::function<void()> visibilityChanged_;
    Handler click_;
};

class QtTimer final : public Timer, public InertControl {
public:
    explicit QtTimer(QTimer* t) : t_(t) {
        QObject::connect(t, &QTimer::timeout, t, [this] { runHandler(tick_); });
    }
    void onTick(Handler h) override { keep(tick_, std::move(h)); }

private:
    void dropHandlers() override {
        tick_ = nullptr;
        if (t_) t_->stop();
    }
    QPointer<QTimer> t_;
    Handler tick_;
};

}  // namespace

class FormWidget : public QWidget {
public:
    Handler closeRequest, mouseMove;
    int targetOuterHeight = -1;  // pixels, -1: none asked for
    QPointer<QPushButton> defaultButton, cancelButton;
    std::vector<QPointer<QWidget>> windowlessControls;  // labels and images

    // Placing the outer frame. Until a window manager has framed the
    // window, Qt can only place its client area: the place asked for is
    // applied again once the frame's size is known, and for a moment after
    // that a window manager that placed the frame elsewhere meanwhile is
    // corrected too.
    enum class FrameStep {
        NotAsked,       // no place asked for: wherever the window manager puts it
        AwaitingFrame,  // the frame's size is not known yet
        Correcting,     // framed less than kCorrectingMs ago
        Placed,
    };
    // How long after framing a window manager may still move the frame.
    static constexpr qint64 kCorrectingMs = 1500;
    // How long to wait for a window manager to tell the frame's size before
    // taking it that none is coming.
    static constexpr qint64 kWaitForWindowManagerMs = 15000;
    static constexpr int kFrameCheckMs = 50;

    FrameStep frameStep() const {
        if (!targetFrameTopLeft_) return FrameStep::NotAsked;
        if (!framedAt_.isValid()) return FrameStep::AwaitingFrame;
        return framedAt_.elapsed() < kCorrectingMs ? FrameStep::Correcting : FrameStep::Placed;
    }
    // The outer frame's top-left corner: where it was asked to be while it
    // awaits its frame.
    QPoint frameTopLeft() const {
        return frameStep() == FrameStep::AwaitingFrame ? *targetFrameTopLeft_ : frameGeometry().topLeft();
    }

    void moveFrameTo(QPoint p) {
        targetFrameTopLeft_ = p;
        framedAt_.invalidate();
        move(p);
        applyFramePosition();
        watchFrame();
    }
    void applyFramePosition() {
        const FrameStep step = frameStep();
        if (step == FrameStep::NotAsked || !isVisible() || !frameKnown()) return;
        if (step == FrameStep::AwaitingFrame) framedAt_.start();
        const bool elsewhere = frameGeometry().topLeft() != *targetFrameTopLeft_;
        if (step == FrameStep::AwaitingFrame || (step == FrameStep::Correcting && elsewhere))
            move(*targetFrameTopLeft_);
    }
    void applyOuterHeight() {
        applyFramePosition();
        if (targetOuterHeight < 0) return;
        const QWindow* handle = windowHandle();
        const QMargins m = handle ? handle->frameMargins() : QMargins();
        const int h = std::max(1, targetOuterHeight - m.top() - m.bottom());
        if (h != height()) setFixedHeight(h);
    }
    // A window manager tells the frame's size some time after the window is
    // mapped, without an event of its own, and on a busy machine that may
    // take long: look again every little while, until the frame is known
    // and placed, or long enough that no window manager is coming.
    void watchFrame() {
        watching_.start();
        if (!frameCheck_) {
            frameCheck_ = new QTimer(this);
            frameCheck_->setInterval(kFrameCheckMs);
            connect(frameCheck_, &QTimer::timeout, this, [this] {
                applyOuterHeight();
                const FrameStep step = frameStep();
                const bool settled = (step == FrameStep::NotAsked || step == FrameStep::Placed) && frameKnown();
                if (settled || watching_.elapsed() > kWaitForWindowManagerMs) frameCheck_->stop();
            });
        }
        frameCheck_->start();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::MouseMove) {
            auto* move = static_cast<QMouseEvent*>(e);
            if (!overWindowlessControl(move)) runHandler(mouseMove);
            move->accept();  // taken here: it must not reach the window a second time
            return true;
        }
        return QWidget::eventFilter(watched, e);
    }
    // Labels let the mouse through to the client area, yet a move over one
    // is a move over that control, not over the window's bare surface.
    bool overWindowlessControl(const QMouseEvent* e) const {
        const QPoint p = e->position().toPoint();
        for (const auto& w : windowlessControls)
            if (w && w->isVisible() && w->geometry().contains(p)) return true;
        return false;
    }
    void closeEvent(QCloseEvent* e) override {
        // The owner decides; it takes the window away through destroy().
        e->ignore();
        runHandler(closeRequest);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        QWidget::mouseMoveEvent(e);
        runHandler(mouseMove);
    }
    // Keys that no control took: Esc presses the cancel button; Enter presses
    // the button that has the focus, or else the default button.
    void keyPressEvent(QKeyEvent* e) override {
        QPushButton* target = nullptr;
        if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
            target = cancelButton;
        } else if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
                   (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && defaultButton) {
            auto* focused = qobject_cast<QPushButton*>(focusWidget());
            target = focused && focused->isEnabled() ? focused : defaultButton.data();
        }
        if (target && target->isVisible() && target->isEnabled()) {
            target->click();
            return;
        }
        QWidget::keyPressEvent(e);
    }
    void moveEvent(QMoveEvent* e) override {
        QWidget::moveEvent(e);
        applyOuterHeight();  // the frame's size is known once a window manager has framed us
    }
    void showEvent(QShowEvent* e) override {
        QWidget::showEvent(e);
        applyOuterHeight();
        watchFrame();
    }

private:
    bool frameKnown() const {
        const QWindow* handle = windowHandle();
        return handle && !handle->frameMargins().isNull();
    }
    std::optional<QPoint> targetFrameTopLeft_;
    QElapsedTimer framedAt_;  // since the frame's size became known
    QPointer<QTimer> frameCheck_;
    QElapsedTimer watching_;  // since the frame was last asked for
};

struct QtWindow::Impl {
    double tpp = 15.0;
    bool destroyed = false;
    QPointer<FormWidget> form;
    QWidget* client = nullptr;
    QMenuBar* menuBar = nullptr;
    int clientW = 0, clientH = 0;
    // A control of the layout: its widget (none for a timer) and what the
    // core sees of it (nothing for a line).
    struct Control {
        QPointer<QWidget> widget;
        std::unique_ptr<InertControl> port;
    };
    // A menu entry, with the menu of the entries below it.
    struct MenuItem {
        QPointer<QMenu> submenu;
        std::unique_ptr<QtMenuEntry> port;
    };
    std::map<std::string, Control, std::less<>> controls;
    std::map<std::string, Control, std::less<>> filters;  // by the name of their list
    QShortcut* findKey = nullptr;
    Handler findHandler;
    std::map<std::string, MenuItem, std::less<>> menu;
    std::vector<QAction*> topLevelActions;

    int px(double twips) const { return twipsToPixels(twips, tpp); }
    int twips(int pixels) const { return pixelsToTwips(pixels, tpp); }

    void layoutMenuBar() {
        if (!form) return;
        bool any = false;
        for (QAction* a : topLevelActions) any = any || a->isVisible();
        int top = 0;
        if (menuBar) {
            menuBar->setVisible(any);
            if (any) {
                menuBar->setGeometry(0, 0, clientW, menuBar->sizeHint().height());
                top = menuBar->height();
            }
        }
        client->move(0, top);
        if (form->targetOuterHeight < 0) form->setFixedSize(clientW, clientH + top);
    }

    // The steps of building the window from its layout.
    void createForm(const FormSpec& layout);
    void createClientArea(const FormSpec& layout);
    void buildControls(const FormSpec& layout);
    QWidget* createControl(const ControlSpec& c, const PixelRect& r, std::vector<QWidget*>& windowless);
    void addTimer(const ControlSpec& c);
    QWidget* addButton(const ControlSpec& c);
    QWidget* addLabel(const ControlSpec& c, const PixelRect& r, std::vector<QWidget*>& windowless);
    QWidget* addLine(const ControlSpec& c, std::vector<QWidget*>& windowless);
    QWidget* addListBox(const ControlSpec& c);
    QWidget* addTextBox(const ControlSpec& c);
    void applyControlSpec(const ControlSpec& c, const PixelRect& r, QWidget* w);
    void setTabOrder(const FormSpec& layout);
    void buildMenu(const FormSpec& layout);
    void centre();

    template <class Kind>
    Kind& find(std::string_view name, const char* kind) {
        const auto it = controls.find(name);
        Kind* found = it == controls.end() ? nullptr : dynamic_cast<Kind*>(it->second.port.get());
        if (!found) throw std::out_of_range(std::string("no ") + kind + " " + std::string(name));
        return *found;
    }
};

QtWindow::QtWindow(const FormSpec& layout, double twipsPerPixel) : d_(std::make_unique<Impl>()) {
    Impl& d = *d_;
    d.tpp = twipsPerPixel > 0 ? twipsPerPixel : 15.0;
    d.createForm(layout);
    d.createClientArea(layout);
    d.buildControls(layout);
    d.setTabOrder(layout);
    d.buildMenu(layout);
    d.layoutMenuBar();
    if (layout.centred) d.centre();
    d.form->winId();  // the native window exists from here on
}

void QtWindow::Impl::createForm(const FormSpec& layout) {
    auto* f = new FormWidget;
    form = f;
    f->setObjectName(QString::fromStdString(layout.name));
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint;
    if (layout.border == Border::FixedDialog) flags = (flags & ~Qt::Window) | Qt::Dialog;
    f->setWindowFlags(flags);
    f->setWindowTitle(toQ(layout.caption));
    f->setAccessibleName(toQ(layout.caption));
    f->setMouseTracking(true);
    QPalette pal = f->palette();
    pal.setColor(QPalette::Window, toQ(layout.back));
    f->setPalette(pal);
    f->setAutoFillBackground(true);
}

void QtWindow::Impl::createClientArea(const FormSpec& layout) {
    clientW = px(layout.clientWidth);
    clientH = px(layout.clientHeight);
    client = new QWidget(form);
    client->setObjectName("client");
    client->setMouseTracking(true);
    client->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    client->setFixedSize(clientW, clientH);
    // Moves over the bare client area count as moves over the window.
    client->installEventFilter(form);
}

void QtWindow::Impl::buildControls(const FormSpec& layout) {
    std::vector<QWidget*> windowless;
    for (const ControlSpec& c : layout.controls) {
        const PixelRect r = twipsToPixels(c.left, c.top, c.width, c.height, tpp);
        QWidget* w = createControl(c, r, windowless);
        if (w) applyControlSpec(c, r, w);  // a timer has no widget
    }
    // Labels and lines are drawn on the window's surface, under every control.
    for (auto it = windowless.rbegin(); it != windowless.rend(); ++it) (*it)->lower();
}

QWidget* QtWindow::Impl::createControl(const ControlSpec& c, const PixelRect& r, std::vector<QWidget*>& windowless) {
    switch (c.kind) {
        case ControlKind::Timer:
            addTimer(c);
            return nullptr;
        case ControlKind::Button:
            return addButton(c);
        case ControlKind::Label:
        case ControlKind::Image:
            return addLabel(c, r, windowless);
        case ControlKind::Line:
            return addLine(c, windowless);
        case ControlKind::ListBox:
            return addListBox(c);
        case ControlKind::TextBox:
            return addTextBox(c);
    }
    return nullptr;
}

void QtWindow::Impl::addTimer(const ControlSpec& c) {
    auto* t = new QTimer(form);
    t->setObjectName(QString::fromStdString(c.name));
    t->setInterval(c.intervalMs);
    t->start();
    controls[c.name].port = std::make_unique<QtTimer>(t);
}

QWidget* QtWindow::Impl::addButton(const ControlSpec& c) {
    auto* b = new QPushButton(toQ(c.caption), client);
    if (c.defaultButton) {
        b->setDefault(true);
        form->defaultButton = b;
    }
    if (c.cancelButton) form->cancelButton = b;
    controls[c.name].port = std::make_unique<QtButton>(b);
    return b;
}

QWidget* QtWindow::Impl::addLabel(const ControlSpec& c, const PixelRect& r, std::vector<QWidget*>& windowless) {
    auto* l = new ClickLabel(toQ(c.caption), client);
    l->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    l->setFocusPolicy(Qt::NoFocus);
    if (c.centred) l->setAlignment(Qt::AlignCenter);
    if (!c.toolTip.empty()) l->setToolTip(toQ(c.toolTip));
    // The one picture a layout shows is the program's icon.
    if (c.kind == ControlKind::Image) l->setPixmap(programIcon().pixmap(QSize(r.w, r.h)));
    controls[c.name].port = std::make_unique<QtLabel>(l);
    form->windowlessControls.emplace_back(l);
    windowless.push_back(l);
    return l;
}

QWidget* QtWindow::Impl::addLine(const ControlSpec& c, std::vector<QWidget*>& windowless) {
    auto* l = new LineWidget(client);
    l->vertical = c.width == 0;
    l->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    windowless.push_back(l);
    return l;
}

QWidget* QtWindow::Impl::addListBox(const ControlSpec& c) {
    auto* l = new HistoryView(client);
    controls[c.name].port = std::make_unique<QtListBox>(l);
    auto* bar = new FilterBar(l, px(kFilterCountWidthTwips), client);
    const PixelRect r = twipsToPixels(kFilterFieldTwips.left, kFilterFieldTwips.top, kFilterFieldTwips.width,
                                      kFilterFieldTwips.height, tpp);
    bar->setGeometry(r.x, r.y, r.w, r.h);
    filters[c.name] = {bar, std::make_unique<QtFilterField>(bar)};
    return l;
}

QWidget* QtWindow::Impl::addTextBox(const ControlSpec& c) {
    auto* t = new ExactTextEdit(client);
    if (c.readOnly) {
        t->setReadOnly(true);
        t->displayLimit = c.displayLimit;
        t->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    if (!c.multiLine) {
        // One line of text that fills the box: no frame, margin or scroll bars.
        t->setFrameShape(QFrame::NoFrame);
        t->setLineWrapMode(QPlainTextEdit::NoWrap);
        t->wrapsShortLines = false;
        t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        t->document()->setDocumentMargin(1);
    }
    if (c.centred) {
        QTextOption option = t->document()->defaultTextOption();
        option.setAlignment(Qt::AlignHCenter);
        t->document()->setDefaultTextOption(option);
    }
    if (!c.caption.empty()) t->setExactText(SharedText(c.caption));
    controls[c.name].port = std::make_unique<QtTextBox>(t);
    return t;
}

// What every control's widget takes from the layout: its name, place,
// accessible name, colours, font and whether it takes the focus.
void QtWindow::Impl::applyControlSpec(const ControlSpec& c, const PixelRect& r, QWidget* w) {
    w->setObjectName(QString::fromStdString(c.name));
    w->setGeometry(r.x, r.y, std::max(r.w, 1), std::max(r.h, 1));
    w->setAccessibleName(toQ(c.accessibleName.empty() ? c.caption : c.accessibleName));
    QPalette p = w->palette();
    if (c.back) {
        p.setColor(QPalette::Base, toQ(*c.back));
        p.setColor(QPalette::Window, toQ(*c.back));
    }
    if (c.fore) {
        p.setColor(QPalette::Text, toQ(*c.fore));
        p.setColor(QPalette::WindowText, toQ(*c.fore));
    }
    w->setPalette(p);
    if (c.font) w->setFont(toFont(*c.font));
    if (c.tab < 0 && c.kind != ControlKind::Label) w->setFocusPolicy(Qt::NoFocus);
    controls[c.name].widget = w;
}

void QtWindow::Impl::setTabOrder(const FormSpec& layout) {
    std::vector<QWidget*> order;
    for (const std::string& name : focusOrder(layout)) order.push_back(controls[name].widget);
    for (std::size_t i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
    // The first stop of the focus order has the focus when the window shows.
    if (!order.empty() && order.front()) order.front()->setFocus();
}

// The menu tree: entries without a parent stand in the menu bar.
void QtWindow::Impl::buildMenu(const FormSpec& layout) {
    if (layout.menu.empty()) return;
    menuBar = new QMenuBar(form);
    menuBar->setNativeMenuBar(false);
    const std::vector<MenuNode> tree = menuTree(layout.menu);
    std::vector<QMenu*> menus(layout.menu.size(), nullptr);  // by entry, for those with entries below
    auto relayout = [this] { layoutMenuBar(); };
    for (std::size_t i = 0; i < layout.menu.size(); ++i) {
        const MenuSpec& m = layout.menu[i];
        QMenu* parent = tree[i].parent == kMenuBar ? nullptr : menus[tree[i].parent];
        QAction* action = nullptr;
        if (m.caption == u"-") {
            action = parent ? parent->addSeparator() : menuBar->addSeparator();
        } else if (tree[i].hasChildren(i)) {
            auto* sub = new QMenu(toQ(m.caption), parent ? static_cast<QWidget*>(parent) : menuBar);
            sub->setObjectName(QString::fromStdString(m.name));
            action = parent ? parent->addMenu(sub) : menuBar->addMenu(sub);
            menus[i] = sub;
        } else {
            action = parent ? parent->addAction(toQ(m.caption)) : menuBar->addAction(toQ(m.caption));
        }
        action->setObjectName(QString::fromStdString(m.name));
        if (tree[i].parent == kMenuBar) topLevelActions.push_back(action);
        menu[m.name] = MenuItem{menus[i], std::make_unique<QtMenuEntry>(action, m.caption, relayout)};
    }
}

// In the middle of the primary screen's available area.
void QtWindow::Impl::centre() {
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect a = s->availableGeometry();
        form->move(a.x() + (a.width() - form->width()) / 2, a.y() + (a.height() - form->height()) / 2);
    }
}

QtWindow::~QtWindow() {
    destroy();
    delete d_->form.data();
}

TextBox& QtWindow::textBox(std::string_view n) { return d_->find<TextBox>(n, "text box"); }
ListBox& QtWindow::listBox(std::string_view n) { return d_->find<ListBox>(n, "list box"); }
Button& QtWindow::button(std::string_view n) { return d_->find<Button>(n, "button"); }
Label& QtWindow::label(std::string_view n) { return d_->find<Label>(n, "label"); }
Timer& QtWindow::timer(std::string_view n) { return d_->find<Timer>(n, "timer"); }

FilterField& QtWindow::filterField(std::string_view list) {
    const auto it = d_->filters.find(list);
    if (it == d_->filters.end()) throw std::out_of_range("no filter field for " + std::string(list));
    return static_cast<QtFilterField&>(*it->second.port);
}

MenuEntry& QtWindow::menuEntry(std::string_view n) {
    const auto it = d_->menu.find(n);
    if (it == d_->menu.end()) throw std::out_of_range("no menu entry " + std::string(n));
    return *it->second.port;
}

void QtWindow::show() {
    FormWidget* f = d_->form;
    if (!f || d_->destroyed) return;
    const bool wasHidden = !f->isVisible();
    // Some window managers offer minimizing although the window asks for
    // no such box: showing brings a minimized window back as well.
    if (f->isMinimized()) f->setWindowState(f->windowState() & ~Qt::WindowMinimized);
    f->show();
    if (wasHidden) keepOffTaskbar(f);
    f->raise();
    f->activateWindow();
}

void QtWindow::setForeground() {
    FormWidget* f = d_->form;
    if (!f || d_->destroyed || !f->isVisible()) return;
    f->raise();
    f->activateWindow();
}

void QtWindow::hide() {
    if (d_->form) d_->form->hide();
}

bool QtWindow::visible() const { return d_->form && d_->form->isVisible(); }

bool QtWindow::setTopmost(bool on) {
    FormWidget* f = d_->form;
    if (!f || d_->destroyed) return false;
    Qt::WindowFlags flags = f->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    // On the native window directly: no re-creation, no flicker.
    f->overrideWindowFlags(flags);
    if (QWindow* h = f->windowHandle()) h->setFlags(flags);
    show();
    return true;
}

bool QtWindow::topmost() const { return d_->form && d_->form->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

int QtWindow::outerHeight() const { return d_->form ? d_->twips(d_->form->frameGeometry().height()) : 0; }

void QtWindow::setOuterHeight(int twips) {
    if (!d_->form) return;
    d_->form->targetOuterHeight = d_->px(twips);
    d_->form->applyOuterHeight();
    d_->form->watchFrame();
}

int QtWindow::top() const { return d_->form ? d_->twips(d_->form->frameTopLeft().y()) : 0; }

int QtWindow::left() const { return d_->form ? d_->twips(d_->form->frameTopLeft().x()) : 0; }

void QtWindow::setTop(int twips) {
    FormWidget* f = d_->form;
    if (!f) return;
    f->moveFrameTo(QPoint(f->frameTopLeft().x(), d_->px(twips)));
}

void QtWindow::setLeft(int twips) {
    FormWidget* f = d_->form;
    if (!f) return;
    f->moveFrameTo(QPoint(d_->px(twips), f->frameTopLeft().y()));
}

void QtWindow::popupMenu(std::string_view entry) {
    if (QMenu* m = menu(entry)) m->exec(QCursor::pos());
}

void QtWindow::onCloseRequest(Handler h) {
    if (d_->form && !d_->destroyed) d_->form->closeRequest = std::move(h);
}

void QtWindow::onMouseMove(Handler h) {
    if (d_->form && !d_->destroyed) d_->form->mouseMove = std::move(h);
}

void QtWindow::onFind(Handler h) {
    if (!d_->form || d_->destroyed) return;
    d_->findHandler = std::move(h);
    if (d_->findKey) return;
    d_->findKey = new QShortcut(QKeySequence::Find, d_->form, nullptr, nullptr, Qt::WindowShortcut);
    QObject::connect(d_->findKey, &QShortcut::activated, d_->form, [d = d_.get()] { runHandler(d->findHandler); });
}

void QtWindow::destroy() {
    if (d_->destroyed) return;
    d_->destroyed = true;
    d_->findHandler = nullptr;
    // Every handler goes (and the timers stop), so nothing runs from here on.
    for (auto& [name, c] : d_->controls)
        if (c.port) c.port->drop();
    for (auto& [name, c] : d_->filters) c.port->drop();
    for (auto& [name, m] : d_->menu) m.port->drop();
    FormWidget* f = d_->form;
    if (!f) return;
    f->closeRequest = nullptr;
    f->mouseMove = nullptr;
    // A popup of this window (the tray menu, a text box's context menu) may
    // be running its own event loop under this call: close it, and free
    // nothing here. The widgets go with this object, which its owner
    // releases outside every handler of the window.
    while (QWidget* popup = QApplication::activePopupWidget()) {
        if (!belongsTo(popup, f)) break;
        popup->close();
        if (QApplication::activePopupWidget() == popup) break;
    }
    f->hide();
}

QWidget* QtWindow::widget() const { return d_->form; }

QWidget* QtWindow::control(std::string_view name) const {
    const auto it = d_->controls.find(name);
    return it == d_->controls.end() ? nullptr : it->second.widget.data();
}

QMenu* QtWindow::menu(std::string_view entry) const {
    const auto it = d_->menu.find(entry);
    return it == d_->menu.end() ? nullptr : it->second.submenu.data();
}

}  // namespace stock::qt
