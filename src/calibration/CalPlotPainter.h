#pragma once

#include "calibration/CalPlot.h"

#include <QColor>
#include <QRectF>

class QPainter;

namespace tarquel {

struct CalPlotColours {
    QColor text;    // axes' captions, stored points, the fitted ellipse and centre
    QColor faint;   // axes and ticks
    QColor accent;  // the trail of recent frames
    QColor base;    // inside of the point marks
};

// Draws the calibration plot of model into rect with the painter's font: the axes with their
// extent, the trail (older pairs fainter), the fitted ellipse with its centre and the four stored
// points. The calibration plot of the main window and the calibration report draw with it.
void paintCalPlot(QPainter& painter, const QRectF& rect, const CalPlotModel& model,
                  const CalPlotColours& colours);

}  // namespace tarquel
