#pragma once

#include <QPixmap>

namespace tarquel {

// The product picture of the splash window: the sensor's housing with a compass rose.
QPixmap productPicture(int size);

}  // namespace tarquel
