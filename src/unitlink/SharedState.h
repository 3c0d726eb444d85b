#pragma once

#include "unitlink/UnitMap.h"

#include <QString>
#include <array>

namespace tarquel {

// What port discovery found for one port number.
struct PortStatus {
    bool opened = false;   // the port could be opened
    bool traffic = false;  // bytes arrived within the activity test
    bool modem = false;    // a modem answered "OK"
};

// Start-up outcome codes (startupStatus).
namespace StartupStatus {
constexpr int Found = 0;
constexpr int NoTraffic = 1;
constexpr int NoPorts = 2;
constexpr int BaudFailed = 4;
constexpr int BaudSkipped = 8;
}  // namespace StartupStatus

// Output formats (dataFormat, detectedFormat, savedFormat).
namespace DataFormat {
constexpr int Decimal = 1;
constexpr int Binary = 2;
}  // namespace DataFormat

// Calibration modes (calMode).
namespace CalMode {
constexpr int Accelerometer = 0;
constexpr int Pendulum = 1;
}  // namespace CalMode

constexpr int kTestRunning = 8;  // testState while a calibration test runs

// Information flags (infoMessageFlags) and software flags (swMessageFlags).
namespace InfoFlag {
constexpr int TiltOver10 = 1;
constexpr int TiltOver45 = 2;
constexpr int FrameLength = 16;
constexpr int NoHeader = 32;
constexpr int PressBeginTest = 128;
constexpr int PointVehicle = 256;
constexpr int CollectionComplete = 512;
constexpr int UnitCalibrated = 1024;
}  // namespace InfoFlag
namespace SwFlag {
constexpr int Receiving = 1;
constexpr int RoutedToTerminal = 2;
}  // namespace SwFlag

// The two status flag words and the operations that raise and clear their bits.
struct MessageFlags {
    quint16 infoMessageFlags = 0;
    quint16 swMessageFlags = 0;

    // OR the flag in (any value).
    void SetInfoMessage(int flag) {
        infoMessageFlags = static_cast<quint16>(infoMessageFlags | flag);
    }
    // Clears flag when it is one of the bits 1 to 1024; any other value changes nothing.
    void ClearInfoMessage(int flag) {
        if (isSingleBit(flag, 1024)) {
            infoMessageFlags = static_cast<quint16>(infoMessageFlags & ~flag);
        }
    }
    void SetSWMessage(int flag) { swMessageFlags = static_cast<quint16>(swMessageFlags | flag); }
    // Clears flag when it is one of the bits 1 to 16; any other value changes nothing.
    void ClearSWMessage(int flag) {
        if (isSingleBit(flag, 16)) {
            swMessageFlags = static_cast<quint16>(swMessageFlags & ~flag);
        }
    }
    bool info(int flag) const { return (infoMessageFlags & flag) != 0; }
    bool sw(int flag) const { return (swMessageFlags & flag) != 0; }

private:
    static bool isSingleBit(int flag, int highest) {
        return flag >= 1 && flag <= highest && (flag & (flag - 1)) == 0;
    }
};

// The state every subsystem shares for the whole run. One instance, created by start-up and
// handed by reference to whoever needs it; everything else is state of a window or an object.
struct SharedState {
    // Start-up (port discovery and baud-rate detection).
    std::array<PortStatus, 21> portStatus{};  // index = port number 1 to 20
    int startupStatus = StartupStatus::Found;
    int activePort = 0;
    int detectedBaud = 0;
    int detectedFormat = 0;
    bool skipBaudTest = false;

    // Output format the main window works with.
    int dataFormat = 0;

    // Unit link.
    UnitMap unitMap;
    bool writeAccessEnabled = false;

    // Calibration.
    int testState = 0;
    int calMode = CalMode::Accelerometer;
    bool channelFilterPrimed = false;
    bool inclFilterPrimed = false;
    bool noAccelWarned = false;
    QString savedSetting1;
    QString savedSetting2;
    bool settingsAltered = false;
    QString savedChannels;
    int savedFormat = 0;
    bool channelsSaved = false;
    // North alignment added to the unit's north rotation word and no checksum recalculation has
    // followed yet (End Test and closing the window recalculate).
    bool northRotationAdded = false;

    // Receive path and status texts.
    int frameEventCount = 0;
    MessageFlags messages;

    QString desktopFolder;
};

}  // namespace tarquel
