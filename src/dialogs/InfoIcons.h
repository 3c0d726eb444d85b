#pragma once

#include <QPixmap>
#include <QString>

namespace tarquel {

// The information window's image list: four 32 × 32 pictures numbered 1 to 4 with the keys
// "Stop", "Question", "Exclamation" and "Information". Other numbers give a null pixmap.
constexpr int kInfoIconCount = 4;
constexpr int kInfoIconSize = 32;

QString infoIconKey(int number);
QPixmap infoIconImage(int number);

}  // namespace tarquel
