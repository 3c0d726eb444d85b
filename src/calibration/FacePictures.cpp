#include "calibration/FacePictures.h"

#include <QPainter>
#include <QPainterPath>

namespace tarquel {

QPixmap facePicture(int image, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const bool good = image != 2;
    const double s = size;
    p.setPen(QPen(QColor(40, 40, 40), s / 16));
    p.setBrush(good ? QColor(96, 196, 96) : QColor(240, 176, 48));
    p.drawEllipse(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88));
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(QPointF(s * 0.35, s * 0.4), s * 0.06, s * 0.07);
    p.drawEllipse(QPointF(s * 0.65, s * 0.4), s * 0.06, s * 0.07);
    p.setBrush(Qt::NoBrush);
    QPainterPath mouth;
    mouth.moveTo(s * 0.3, good ? s * 0.62 : s * 0.72);
    mouth.quadTo(s * 0.5, good ? s * 0.8 : s * 0.58, s * 0.7, good ? s * 0.62 : s * 0.72);
    p.drawPath(mouth);
    return pixmap;
}

}  // namespace tarquel
