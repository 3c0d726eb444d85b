#pragma once

#include <QRect>

class QWidget;

namespace tarquel {

// Puts a control at a place given in twips; a left edge on a half twip is rounded.
void placeTwips(QWidget* widget, double left, int top, int width, int height);

// Moves a window so that its outer frame is centred on area. Call again once the window is shown:
// only then does the window system's frame have its size.
void centreOn(QWidget* window, const QRect& area);

}  // namespace tarquel
