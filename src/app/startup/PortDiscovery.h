#pragma once

#include "app/startup/StartupResult.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"

#include <array>

namespace tarquel {

class PortErrorGuard;

// Finds out, on the splash window's port TestComm, which of the ports 1 to 20 exist, on which of
// them bytes are already arriving and on which a modem answers. All waits block without
// servicing events.
class PortDiscovery {
public:
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 20;
    static constexpr int kActivityWaitMs = 100;
    static constexpr int kModemWaitMs = 200;
    // A receive threshold that no probe reaches, so that no receive event fires while probing.
    static constexpr int kQuietThreshold = 1000;

    PortDiscovery(Clock& clock, MessageBoxes& boxes, StartupResult& result);

    // Tries to open every port once, starting at the control's current port and wrapping from 20
    // to 1, then tests each port that opened for traffic in ascending order. Fills the opened and
    // traffic columns of portStatus and activePort (the highest port with traffic), and sets
    // startupStatus to NoPorts or NoTraffic. Leaves the control closed with its input discarded.
    void FindCommPorts(SerialPort& port);

    // True when at least one byte arrives within 100 ms on the control's current port. Leaves the
    // control open with its receive threshold as it was. Port errors reach the caller.
    bool fPortHasActivity(SerialPort& port);

    // Sends "AT" and a carriage return to every port that opened and marks the ports that answer
    // "OK" (any letter case) in the modem column of portStatus. Restores the control's port
    // number, receive threshold and read length unless an error was reported.
    void CheckForModems(SerialPort& port);

private:
    // One pass of the activity scan; false when it must start over because a port's test failed
    // for the first time.
    bool scanForActivity(SerialPort& port, std::array<bool, kLastPort + 1>& restartedBy,
                         bool& anyPort, bool& anyTraffic);
    bool probeForModem(SerialPort& port, int p, PortErrorGuard& guard);

    Clock& clock_;
    MessageBoxes& boxes_;
    StartupResult& result_;
};

}  // namespace tarquel
