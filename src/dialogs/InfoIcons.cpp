#include "dialogs/InfoIcons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>

namespace tarquel {

namespace {

void drawGlyph(QPainter& painter, const QRectF& box, const QString& glyph, const QColor& colour) {
    QFont font = painter.font();
    font.setPixelSize(20);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(box, Qt::AlignCenter, glyph);
}

void drawDisc(QPainter& painter, const QColor& fill) {
    painter.setPen(QPen(fill.darker(140), 1.5));
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(2, 2, 28, 28));
}

QPixmap paintIcon(int number) {
    QPixmap pixmap(kInfoIconSize, kInfoIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0, 0, kInfoIconSize, kInfoIconSize);
    switch (number) {
        case 1: {  // stop: white cross on a red disc
            drawDisc(painter, QColor(200, 30, 30));
            painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(11, 11), QPointF(21, 21));
            painter.drawLine(QPointF(21, 11), QPointF(11, 21));
            break;
        }
        case 2:  // question mark on a blue disc
            drawDisc(painter, QColor(40, 90, 200));
            drawGlyph(painter, box, QStringLiteral("?"), Qt::white);
            break;
        case 3: {  // exclamation mark on a yellow triangle
            const QPolygonF triangle({QPointF(16, 2), QPointF(30, 29), QPointF(2, 29)});
            painter.setPen(
                QPen(QColor(120, 90, 0), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.setBrush(QColor(250, 205, 40));
            painter.drawPolygon(triangle);
            drawGlyph(painter, box.adjusted(0, 5, 0, 0), QStringLiteral("!"), Qt::black);
            break;
        }
        case 4:  // lower-case i on a blue disc
            drawDisc(painter, QColor(30, 120, 220));
            drawGlyph(painter, box, QStringLiteral("i"), Qt::white);
            break;
        default:
            break;
    }
    return pixmap;
}

}  // namespace

QString infoIconKey(int number) {
    static const std::array<const char*, kInfoIconCount> keys{"Stop", "Question", "Exclamation",
                                                              "Information"};
    if (number < 1 || number > kInfoIconCount) {
        return {};
    }
    return QString::fromLatin1(keys[static_cast<std::size_t>(number - 1)]);
}

QPixmap infoIconImage(int number) {
    if (number < 1 || number > kInfoIconCount) {
        return {};
    }
    return paintIcon(number);
}

}  // namespace tarquel
