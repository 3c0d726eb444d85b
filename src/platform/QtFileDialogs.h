#pragma once

#include "platform/DesktopServices.h"
#include "platform/FileDialogs.h"

namespace tarquel {

// The toolkit's file dialogs, owned by the application's active window.
class QtFileDialogs : public FileDialogs {
public:
    QString openFileName(const FileDialogRequest& request) override;
    QString saveFileName(const FileDialogRequest& request) override;
};

// The desktop's viewers (QDesktopServices).
class QtDesktopServices : public DesktopServices {
public:
    bool openDocument(const QString& path) override;
};

// "Text files (*.txt)|*.txt" -> "Text files (*.txt)": the toolkit's form of a filter list.
QString toolkitFilter(const QString& filter);

}  // namespace tarquel
