#include "components/AppIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace kpx {

QPixmap AppIconPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    QPainterPath film;
    film.addRoundedRect(QRectF(3, 5, 26, 22), 3, 3);
    painter.fillPath(film, QColor(40, 48, 72));
    painter.setBrush(QColor(245, 245, 235));
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        painter.drawRect(QRectF(5.5 + i * 4.6, 7, 2.4, 2.2));
        painter.drawRect(QRectF(5.5 + i * 4.6, 22.8, 2.4, 2.2));
    }
    painter.setBrush(QColor(255, 196, 64));
    painter.drawRect(QRectF(7, 11, 18, 10));
    painter.setBrush(QColor(220, 60, 60));
    QPolygonF play;
    play << QPointF(13.5, 13) << QPointF(13.5, 19) << QPointF(19, 16);
    painter.drawPolygon(play);
    return pixmap;
}

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addPixmap(AppIconPixmap(size));
    return icon;
}

} // namespace kpx
