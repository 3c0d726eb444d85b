#include "app/ProductPicture.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

namespace tarquel {

QPixmap productPicture(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;

    // Housing: a dark anodised box with a lighter face.
    QLinearGradient housing(0, 0, 0, s);
    housing.setColorAt(0, QColor(70, 78, 92));
    housing.setColorAt(1, QColor(28, 32, 40));
    p.setPen(QPen(QColor(18, 20, 26), s * 0.02));
    p.setBrush(housing);
    p.drawRoundedRect(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92), s * 0.12, s * 0.12);

    const QPointF centre(s * 0.5, s * 0.5);
    const double r = s * 0.34;
    QRadialGradient face(centre, r);
    face.setColorAt(0, QColor(236, 240, 244));
    face.setColorAt(1, QColor(180, 190, 200));
    p.setBrush(face);
    p.setPen(QPen(QColor(40, 44, 52), s * 0.015));
    p.drawEllipse(centre, r, r);

    // Tick marks every 30 degrees, longer at the cardinal points.
    for (int deg = 0; deg < 360; deg += 30) {
        const double a = deg * M_PI / 180.0;
        const double inner = deg % 90 == 0 ? r * 0.72 : r * 0.84;
        p.drawLine(
            QPointF(centre.x() + std::sin(a) * inner, centre.y() - std::cos(a) * inner),
            QPointF(centre.x() + std::sin(a) * r * 0.95, centre.y() - std::cos(a) * r * 0.95));
    }

    // Needle: red north half, grey south half.
    const double w = r * 0.16;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 30, 30));
    p.drawPolygon(
        QPolygonF({QPointF(centre.x(), centre.y() - r * 0.7), QPointF(centre.x() + w, centre.y()),
                   QPointF(centre.x() - w, centre.y())}));
    p.setBrush(QColor(90, 96, 106));
    p.drawPolygon(
        QPolygonF({QPointF(centre.x(), centre.y() + r * 0.7), QPointF(centre.x() + w, centre.y()),
                   QPointF(centre.x() - w, centre.y())}));
    p.setBrush(QColor(30, 30, 30));
    p.drawEllipse(centre, w * 0.45, w * 0.45);

    // Connector on the housing's edge.
    p.setBrush(QColor(150, 150, 140));
    p.drawRect(QRectF(s * 0.42, s * 0.90, s * 0.16, s * 0.06));
    return pixmap;
}

}  // namespace tarquel
