#include "maptool/MapSave.h"

#include "maptool/MapFile.h"
#include "maptool/MapReader.h"

#include <QFileInfo>
#include <QSaveFile>

namespace tarquel {

namespace {

// The run-time error a failed file write stands for, as the "Error!" box names it.
constexpr int kPathFileAccessError = 75;

}  // namespace

FileDialogRequest saveMapDialogRequest(const QString& desktopFolder) {
    return {QStringLiteral("Save file as"), desktopFolder + QStringLiteral("EEPROM"),
            QStringLiteral("Text files (*.txt)|*.txt"), QStringLiteral(".txt")};
}

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        error = file.errorString();
        file.cancelWriting();
        file.commit();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

MapSaveResult SaveCurrentMap(StdUnitAccess& access, SerialPort& port, FileDialogs& dialogs,
                             MessageBoxes& boxes, ProgressWindow& progress,
                             const QString& desktopFolder, QString* path) {
    const FileDialogRequest request = saveMapDialogRequest(desktopFolder);
    const QString chosen =
        withDefaultExtension(dialogs.saveFileName(request), request.defaultExtension);
    if (path != nullptr) {
        *path = chosen;
    }
    if (chosen.isEmpty()) {
        return MapSaveResult::Cancelled;
    }
    return SaveMapToFile(access, port, boxes, progress, chosen);
}

MapSaveResult SaveMapToFile(StdUnitAccess& access, SerialPort& port, MessageBoxes& boxes,
                            ProgressWindow& progress, const QString& path) {
    if (QFileInfo::exists(path) &&
        boxes.show({QStringLiteral("A file with this name already exists in the directory "
                                   "chosen. ") +
                        QStringLiteral("Do you want to overwrite the current file?"),
                    QStringLiteral("Overwrite Existing File?"), MsgIcon::Exclamation,
                    MsgButtons::YesNo}) != MsgAnswer::Yes) {
        return MapSaveResult::NotOverwritten;
    }
    progress.OpenProcessWindow(QStringLiteral("Saving EEPROM Map"));
    const QString text = BuildEEPROMMapFile(access, port, &progress);
    if (text == kReadError) {
        progress.CloseProcessWindow();
        return MapSaveResult::ReadFailed;
    }
    QString error;
    const bool written = writeWholeFile(path, mapFileBytes(text), error);
    progress.CloseProcessWindow();
    if (!written) {
        boxes.show({QStringLiteral("An unexpected error has occurred in ") +
                        QStringLiteral("Tarquel") + QString::number(kPathFileAccessError) +
                        QLatin1Char(' ') + QStringLiteral("Path/File access error (") + error +
                        QLatin1Char(')'),
                    QStringLiteral("Error!"), MsgIcon::Critical, MsgButtons::OK});
        return MapSaveResult::WriteFailed;
    }
    return MapSaveResult::Saved;
}

}  // namespace tarquel
