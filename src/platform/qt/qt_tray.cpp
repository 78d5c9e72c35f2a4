#include "platform/qt/qt_tray.h"

#include "platform/qt/program_icon.h"
#include "platform/qt/qt_text.h"

namespace stock::qt {

QtTrayIcon::~QtTrayIcon() {
    if (icon_) {
        icon_->hide();
        delete icon_.data();
    }
}

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
        if (removeAsked_) return;
        const int message = messageFor(r);
        if (!message || !onEvent_) return;
        ++activations_;
        try {
            onEvent_(message);
        } catch (...) {
        }
        if (--activations_ == 0 && removeAsked_) {
            // Out of the handler, but still inside the icon's own event:
            // take it down from the event loop.
            QMetaObject::invokeMethod(icon_, [this] { takeDown(); }, Qt::QueuedConnection);
        }
    });
    icon_->show();
}

void QtTrayIcon::remove() {
    if (!icon_ || removeAsked_) return;
    removeAsked_ = true;
    if (activations_ == 0) takeDown();
}

// Hides the icon; the object itself lives until this one goes, which is
// never inside one of its events.
void QtTrayIcon::takeDown() {
    if (icon_ && activations_ == 0) icon_->hide();
}

}  // namespace stock::qt
