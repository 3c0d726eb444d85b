#pragma once

#include <QPixmap>

namespace tarquel {

// The two pictures of the calibration quality indicator imFace: 1 a content face (no calibration
// needed), 2 a concerned face (calibration recommended). Drawn, not loaded.
QPixmap facePicture(int image, int size = 32);

}  // namespace tarquel
