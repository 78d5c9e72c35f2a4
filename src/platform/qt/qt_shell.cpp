#include "platform/qt/qt_shell.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "platform/qt/qt_text.h"

namespace stock::qt {

void QtShell::open(const std::u16string& address) {
    // Hands the address to the desktop and returns; the result is not ours to judge.
    QDesktopServices::openUrl(QUrl(toQ(address), QUrl::TolerantMode));
}

void QtMessageBox::show(const std::u16string& prompt) {
    QMessageBox box(QMessageBox::NoIcon, toQ(title_), toQ(prompt), QMessageBox::Ok);
    box.setObjectName("messageBox");
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace stock::qt
