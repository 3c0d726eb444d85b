#pragma once

#include "platform/Clock.h"
#include "platform/DesktopServices.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"
#include "records/UnitRecords.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace tarquel {

// The platform the windows run on: the real machine in the program, fakes in tests.
struct AppServices {
    Clock& clock;
    MessageBoxes& boxes;
    // Creates a serial port (the splash window's TestComm, the main window's MSComm1).
    std::function<std::unique_ptr<SerialPort>()> createPort;
    // The device behind a port number ("/dev/ttyS0", "COM3"), empty when none.
    std::function<QString(int)> portDevice;
    // An environment variable's value, empty when unset.
    std::function<QString(const QString&)> environment;
    FileDialogs& fileDialogs;
    DesktopServices& desktop;
    // The folder that holds the program and its help document; empty: the executable's folder.
    QString programFolder = {};
    // Where the backups and records of the changes are kept; none: changes are not recorded.
    std::optional<RecordsSettings> records = std::nullopt;
};

}  // namespace tarquel
