#pragma once

#include <QString>
#include <deque>
#include <vector>

namespace tarquel {

// One file open or save dialog.
struct FileDialogRequest {
    QString title;             // "Open file", "Save file as"
    QString initialPath;       // a folder, or a folder followed by a proposed file name
    QString filter;            // "Text files (*.txt)|*.txt": pairs of description and pattern
    QString defaultExtension;  // ".txt": added when the name chosen has none
};

// The platform's file dialogs. Each returns the chosen file's full path, or an empty text when
// the operator cancelled. The save dialog does not ask about overwriting: the caller asks in its
// own words.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString openFileName(const FileDialogRequest& request) = 0;
    virtual QString saveFileName(const FileDialogRequest& request) = 0;
};

// Test double: records every request and answers from a queue; with the queue empty it answers
// as if the operator cancelled.
class ScriptedFileDialogs : public FileDialogs {
public:
    QString openFileName(const FileDialogRequest& request) override;
    QString saveFileName(const FileDialogRequest& request) override;

    void queueAnswer(const QString& path) { answers_.push_back(path); }
    const std::vector<FileDialogRequest>& requests() const { return requests_; }

private:
    QString answer(const FileDialogRequest& request);

    std::vector<FileDialogRequest> requests_;
    std::deque<QString> answers_;
};

// Adds the default extension when the file name has none ("EEPROM" -> "EEPROM.txt").
QString withDefaultExtension(const QString& path, const QString& defaultExtension);

}  // namespace tarquel
