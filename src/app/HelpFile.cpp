#include "app/HelpFile.h"

#include "platform/Version.h"

#include <QDir>
#include <QFileInfo>

namespace tarquel {

HelpFile::HelpFile(QString programFolder, DesktopServices& desktop, MessageBoxes& boxes)
    : programFolder_(std::move(programFolder)), desktop_(desktop), boxes_(boxes) {}

QString HelpFile::path() const {
    const QDir folder(programFolder_);
    for (const QString& candidate : {folder.filePath(QLatin1String(kHelpFileName)),
                                     folder.filePath(QStringLiteral("../share/doc/tarquel/") +
                                                     QLatin1String(kHelpFileName))}) {
        const QFileInfo file(candidate);
        if (file.isFile()) {
            return file.canonicalFilePath();
        }
    }
    return {};
}

void HelpFile::mnuHelpContents_Click() {
    const QString document = path();
    if (document.isEmpty()) {
        boxes_.show({QStringLiteral("Help file not found"), QLatin1String(kApplicationTitle),
                     MsgIcon::None, MsgButtons::OK});
        return;
    }
    // The viewer starts on its own; its errors are not the program's to report.
    desktop_.openDocument(document);
}

}  // namespace tarquel
