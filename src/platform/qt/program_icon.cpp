#include "platform/qt/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace stock::qt {
namespace {

// A clipboard board with a clip at the top and a stack of text lines, the
// newest line highlighted: clipboard text, collected.
QPixmap draw(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    // board
    p.setPen(QPen(QColor(60, 40, 20), 1.2));
    p.setBrush(QColor(196, 140, 76));
    p.drawRoundedRect(QRectF(4.5, 3.5, 23, 27), 2.5, 2.5);
    // paper
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 240));
    p.drawRect(QRectF(7, 7, 18, 21));
    // clip
    p.setPen(QPen(QColor(40, 40, 40), 1.0));
    p.setBrush(QColor(170, 170, 180));
    QPainterPath clip;
    clip.addRoundedRect(QRectF(11, 1.5, 10, 6), 1.5, 1.5);
    p.drawPath(clip);
    // lines of text; the top one is the newest
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(213, 209, 243));
    p.drawRect(QRectF(8, 9.5, 16, 4));
    p.setBrush(QColor(0, 0, 255));
    p.drawRect(QRectF(9, 10.8, 12, 1.6));
    p.setBrush(QColor(90, 90, 110));
    for (int i = 0; i < 4; ++i) p.drawRect(QRectF(9, 15.5 + i * 3.0, i % 2 ? 10 : 13, 1.4));
    return pm;
}

}  // namespace

QIcon programIcon() {
    static const QIcon icon = [] {
        QIcon i;
        for (int s : {16, 22, 24, 32, 48, 64, 128, 256}) i.addPixmap(draw(s));
        return i;
    }();
    return icon;
}

}  // namespace stock::qt
