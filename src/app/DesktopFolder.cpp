#include "app/DesktopFolder.h"

namespace tarquel {

QString fDesktopFolder(const std::function<QString(const QString&)>& environment, bool windows) {
    const QString profile = environment(QStringLiteral("UserProfile"));
    if (windows) {
        return profile.isEmpty() ? QStringLiteral("C:\\") : profile + QStringLiteral("\\Desktop\\");
    }
    const QString home = profile.isEmpty() ? environment(QStringLiteral("HOME")) : profile;
    return home.isEmpty() ? QStringLiteral("/") : home + QStringLiteral("/Desktop/");
}

}  // namespace tarquel
