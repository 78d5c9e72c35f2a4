#include "platform/qt/qt_ui.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>

#include "platform/qt/qt_window.h"

namespace stock::qt {

std::unique_ptr<Window> QtUi::createWindow(const FormSpec& form) {
    return std::make_unique<QtWindow>(form, twipsPerPixelX());
}

double QtUi::twipsPerPixelX() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInchX() : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

void QtUi::processEvents() { QCoreApplication::processEvents(); }

void QtUi::endProcess() {
    ended_ = true;
    QCoreApplication::exit(0);
}

void QtUi::beep() { QApplication::beep(); }

void installFontSubstitutions() {
    QFont::insertSubstitutions(QStringLiteral(u"ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                                QStringLiteral("Noto Sans CJK JP")});
    QFont::insertSubstitutions(QStringLiteral(u"ＭＳ ゴシック"),
                               {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP")});
}

}  // namespace stock::qt
