#include "dialogs/DialogGeometry.h"

#include "platform/Twips.h"

#include <QWidget>
#include <cmath>

namespace tarquel {

void placeTwips(QWidget* widget, double left, int top, int width, int height) {
    widget->setGeometry(twipsToPixels(static_cast<int>(std::lround(left))), twipsToPixels(top),
                        twipsToPixels(width), twipsToPixels(height));
}

void centreOn(QWidget* window, const QRect& area) {
    const QRect frame = window->frameGeometry();
    window->move(area.x() + (area.width() - frame.width()) / 2,
                 area.y() + (area.height() - frame.height()) / 2);
}

}  // namespace tarquel
