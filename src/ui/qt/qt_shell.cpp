#include "ui/qt/qt_shell.h"

#include "ui/qt/qt_window.h"

#include <QTimer>
#include <QWindow>

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "ui/qt/qt_text.h"

namespace stock::qt {

void QtShell::open(const std::u16string& address) {
    // Hands the address to the desktop and returns; the result is not ours to judge.
    QDesktopServices::openUrl(QUrl(toQ(address), QUrl::TolerantMode));
}

void QtMessageBox::show(const std::u16string& prompt, Window* owner) {
    auto* window = dynamic_cast<QtWindow*>(owner);
    QWidget* parent = window ? window->widget() : nullptr;
    QMessageBox box(QMessageBox::NoIcon, toQ(title_), toQ(prompt), QMessageBox::Ok, parent);
    box.setObjectName("messageBox");
    box.setWindowModality(Qt::ApplicationModal);
    // Above the owner, and above the main window when that one stays on top.
    // The box sets its own flags when it opens: add the hint once it is up.
    QTimer::singleShot(0, &box, [&box] {
        const Qt::WindowFlags flags = box.windowFlags() | Qt::WindowStaysOnTopHint;
        box.overrideWindowFlags(flags);
        if (QWindow* handle = box.windowHandle()) handle->setFlags(flags);
    });
    box.exec();
}

}  // namespace stock::qt
