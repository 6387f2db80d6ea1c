#include "gui/StatusPixmaps.h"

#include <QPainter>

namespace vondrix::gui {
namespace {

QPixmap battery(int level) {  // level 0..4
    QPixmap pm(21, 9);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.drawRect(0, 0, 18, 8);             // body
    p.fillRect(19, 2, 2, 5, Qt::black);  // terminal
    const QColor fill = level == 0 ? QColor(200, 0, 0) : QColor(0, 150, 0);
    const int segments = level == 0 ? 1 : level;
    for (int i = 0; i < segments; ++i)
        p.fillRect(2 + i * 4, 2, 3, 5, fill);
    return pm;
}

QPixmap signal(int level) {  // level 0..4
    QPixmap pm(27, 9);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    for (int i = 0; i < 5; ++i) {
        const int height = 1 + i * 2;
        const QRect bar(i * 5 + 1, 9 - height, 4, height);
        if (i <= level)
            p.fillRect(bar, QColor(0, 0, 160));
        else
            p.fillRect(bar, QColor(190, 190, 190));
    }
    return pm;
}

}  // namespace

QPixmap statusPixmap(int bitmapId) {
    if (bitmapId >= 127 && bitmapId <= 131)
        return battery(bitmapId - 127);
    if (bitmapId >= 132 && bitmapId <= 136)
        return signal(bitmapId - 132);
    return {};
}

}  // namespace vondrix::gui

namespace vondrix::gui {

QPixmap programPixmap(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(30, 30, 60), 1));
    p.setBrush(QColor(70, 90, 140));
    p.drawRoundedRect(QRectF(9, 2, 14, 28), 3, 3);  // body
    p.setBrush(QColor(190, 220, 190));
    p.drawRect(QRectF(11, 6, 10, 8));  // display
    p.setBrush(QColor(220, 220, 230));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            p.drawRect(QRectF(11.5 + c * 3.2, 16.5 + r * 3.2, 2.2, 2.2));
    p.setPen(QPen(QColor(30, 30, 60), 1.5));
    p.drawLine(QPointF(20, 2), QPointF(20, 0));  // antenna
    return pm;
}

}  // namespace vondrix::gui
