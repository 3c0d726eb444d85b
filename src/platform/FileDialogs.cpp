#include "platform/FileDialogs.h"

#include <QFileInfo>

namespace tarquel {

QString ScriptedFileDialogs::answer(const FileDialogRequest& request) {
    requests_.push_back(request);
    if (answers_.empty()) {
        return QString();
    }
    QString path = answers_.front();
    answers_.pop_front();
    return path.isEmpty() ? path : withDefaultExtension(path, request.defaultExtension);
}

QString ScriptedFileDialogs::openFileName(const FileDialogRequest& request) {
    return answer(request);
}

QString ScriptedFileDialogs::saveFileName(const FileDialogRequest& request) {
    return answer(request);
}

QString withDefaultExtension(const QString& path, const QString& defaultExtension) {
    if (path.isEmpty() || defaultExtension.isEmpty() || !QFileInfo(path).suffix().isEmpty()) {
        return path;
    }
    return defaultExtension.startsWith(QLatin1Char('.'))
               ? path + defaultExtension
               : path + QLatin1Char('.') + defaultExtension;
}

}  // namespace tarquel
