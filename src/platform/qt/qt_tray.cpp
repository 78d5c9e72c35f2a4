#include "platform/qt/qt_tray.h"

#include "platform/qt/program_icon.h"
#include "platform/qt/qt_text.h"

namespace stock::qt {

QtTrayIcon::~QtTrayIcon() { remove(); }

int QtTrayIcon::messageFor(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            return tray_message::kLeftDown;
        case QSystemTrayIcon::DoubleClick:
            return tray_message::kLeftDoubleClick;
        case QSystemTrayIcon::Context:
            return tray_message::kRightDown;
        case QSystemTrayIcon::MiddleClick:
            return tray_message::kMiddleDown;
        case QSystemTrayIcon::Unknown:
            break;
    }
    return 0;
}

void QtTrayIcon::add(const std::u16string& tip, std::function<void(int)> onEvent) {
    if (icon_) return;  // added once
    onEvent_ = std::move(onEvent);
    icon_ = new QSystemTrayIcon(programIcon());
    icon_->setToolTip(toQ(tip));
    QObject::connect(icon_, &QSystemTrayIcon::activated, icon_, [this](QSystemTrayIcon::ActivationReason r) {
        const int message = messageFor(r);
        if (!message || !onEvent_) return;
        try {
            onEvent_(message);
        } catch (...) {
        }
    });
    icon_->show();
}

void QtTrayIcon::remove() {
    if (!icon_) return;
    icon_->hide();
    icon_->deleteLater();
    icon_ = nullptr;
}

}  // namespace stock::qt
