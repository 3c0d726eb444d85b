#include "platform/QtFileDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

namespace tarquel {

QString toolkitFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const QString pattern = parts[i + 1];
        if (!description.contains(QLatin1Char('('))) {
            description += QStringLiteral(" (") + pattern + QLatin1Char(')');
        }
        filters << description;
    }
    return filters.join(QStringLiteral(";;"));
}

namespace {

QString runDialog(const FileDialogRequest& request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialPath,
                       toolkitFilter(request.filter));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    QString suffix = request.defaultExtension;
    if (suffix.startsWith(QLatin1Char('.'))) {
        suffix.remove(0, 1);
    }
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return withDefaultExtension(dialog.selectedFiles().constFirst(), request.defaultExtension);
}

}  // namespace

QString QtFileDialogs::openFileName(const FileDialogRequest& request) {
    return runDialog(request, QFileDialog::AcceptOpen);
}

QString QtFileDialogs::saveFileName(const FileDialogRequest& request) {
    return runDialog(request, QFileDialog::AcceptSave);
}

bool QtDesktopServices::openDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace tarquel
