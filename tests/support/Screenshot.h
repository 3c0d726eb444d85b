#pragma once

#include <QDir>
#include <QWidget>
#include <cstdio>

namespace tarquel::test {

// With TARQUEL_SCREENSHOT_DIR set, saves the window as a PNG there and prints the path (the
// pictures of the help document are made this way).
inline void saveScreenshot(QWidget& window, const QString& name) {
    const QString dir = qEnvironmentVariable("TARQUEL_SCREENSHOT_DIR");
    if (dir.isEmpty()) {
        return;
    }
    QDir().mkpath(dir);
    const QString path = QDir(dir).absoluteFilePath(name);
    if (window.grab().save(path)) {
        std::printf("Screenshot written: %s\n", qPrintable(path));
    }
}

}  // namespace tarquel::test
