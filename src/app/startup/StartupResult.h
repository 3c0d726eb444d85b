#pragma once

#include "unitlink/DataFormat.h"

#include <array>

namespace tarquel {

// What port discovery found for one port number.
struct PortStatus {
    bool opened = false;   // the port could be opened
    bool traffic = false;  // bytes arrived within the activity test
    bool modem = false;    // a modem answered "OK"
};

// How start-up ended (startupStatus).
enum class StartupStatus { Found = 0, NoTraffic = 1, NoPorts = 2, BaudFailed = 4, BaudSkipped = 8 };

// What port discovery and the baud-rate test found, for the main window's start-up report.
struct StartupResult {
    std::array<PortStatus, 21> portStatus{};  // index = port number 1 to 20
    StartupStatus startupStatus = StartupStatus::Found;
    int activePort = 0;
    int detectedBaud = 0;
    DataFormat detectedFormat = DataFormat::Unknown;
    bool skipBaudTest = false;
};

}  // namespace tarquel
