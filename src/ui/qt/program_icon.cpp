#include "ui/qt/program_icon.h"

#include <QPainter>
#include <QPixmap>

#include "core/main_window/program_icon_design.h"
#include "ui/qt/qt_text.h"

namespace stock::qt {
namespace {

QPixmap draw(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kIconDesignSize, size / kIconDesignSize);
    for (const IconShape& s : kProgramIconShapes) {
        p.setPen(s.pen ? QPen(toQ(*s.pen), s.penWidth) : QPen(Qt::NoPen));
        p.setBrush(toQ(s.fill));
        p.drawRoundedRect(QRectF(s.x, s.y, s.w, s.h), s.radius, s.radius);
    }
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
