#pragma once

#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <string>

#include "core/ports/controls.h"

class QMenu;
class QMenuBar;

namespace stock::qt {

class FormWidget;

// A top-level window built from a FormSpec with Qt widgets.
class QtWindow final : public Window {
public:
    QtWindow(const FormSpec& layout, double twipsPerPixel);
    ~QtWindow() override;

    TextBox& textBox(std::string_view name) override;
    ListBox& listBox(std::string_view name) override;
    Button& button(std::string_view name) override;
    Label& label(std::string_view name) override;
    MenuEntry& menuEntry(std::string_view name) override;
    Timer& timer(std::string_view name) override;
    FilterField& filterField(std::string_view listName) override;

    void show() override;
    void hide() override;
    void setForeground() override;
    bool visible() const override;
    bool setTopmost(bool topmost) override;
    bool topmost() const override;
    int outerHeight() const override;
    void setOuterHeight(int twips) override;
    int top() const override;
    int left() const override;
    void setTop(int twips) override;
    void setLeft(int twips) override;
    void popupMenu(std::string_view entry) override;
    void onCloseRequest(Handler handler) override;
    void onMouseMove(Handler handler) override;
    void onFind(Handler handler) override;
    void destroy() override;

    // For the front end's own tests and tools.
    QWidget* widget() const;
    QWidget* control(std::string_view name) const;
    QMenu* menu(std::string_view entry) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace stock::qt
