#pragma once

#include "platform/DesktopServices.h"
#include "platform/MessageBoxes.h"

#include <QString>

namespace tarquel {

// The help document's file name.
inline constexpr char kHelpFileName[] = "Tarquel Help.html";

// "Open Help File...": the help document installed with the program, opened with the desktop's
// viewer, or "Help file not found".
class HelpFile {
public:
    HelpFile(QString programFolder, DesktopServices& desktop, MessageBoxes& boxes);

    // The document next to the program, else where the package installs it (the program's
    // folder's ../share/doc/tarquel); empty when neither exists.
    QString path() const;

    void mnuHelpContents_Click();

private:
    QString programFolder_;
    DesktopServices& desktop_;
    MessageBoxes& boxes_;
};

}  // namespace tarquel
