// Build tool: writes the program's icon, at every size it is drawn at, as
// PNG files of the hicolor icon theme: OUT/<n>x<n>/apps/stockkun.png.
// Needs no display: it runs on Qt's offscreen platform.
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

#include "ui/qt/program_icon.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QIcon icon = stock::qt::programIcon();
    const auto sizes = icon.availableSizes();
    if (sizes.isEmpty()) {
        std::fprintf(stderr, "the program icon has no sizes\n");
        return 1;
    }
    for (const QSize& size : sizes) {
        const QString dir = QStringLiteral("%1/%2x%3/apps").arg(out).arg(size.width()).arg(size.height());
        const QPixmap pm = icon.pixmap(size);
        if (pm.size() != size || !QDir().mkpath(dir) || !pm.save(dir + "/stockkun.png", "PNG")) {
            std::fprintf(stderr, "cannot write the %dx%d icon into %s\n", size.width(), size.height(), qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
