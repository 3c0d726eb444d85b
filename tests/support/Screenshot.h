#pragma once

#include <QDir>
#include <QImage>
#include <QWidget>
#include <cstdio>

namespace tarquel::test {

// With TARQUEL_SCREENSHOT_DIR set, saves the window as a PNG there and prints the path (the
// pictures of the help document are made this way).
// Saves image as name in TARQUEL_SCREENSHOT_DIR, when that is set (the help document's pictures).
inline void saveImage(const QImage& image, const QString& name) {
    const QString dir = qEnvironmentVariable("TARQUEL_SCREENSHOT_DIR");
    if (dir.isEmpty()) {
        return;
    }
    QDir().mkpath(dir);
    const QString path = QDir(dir).absoluteFilePath(name);
    if (image.save(path)) {
        std::printf("Screenshot written: %s\n", qPrintable(path));
    }
}

inline void saveScreenshot(QWidget& window, const QString& name) {
    saveImage(window.grab().toImage(), name);
}

}  // namespace tarquel::test
