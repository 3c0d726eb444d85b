#include "app/startup/PortDiscovery.h"

#include "app/startup/PortErrorGuard.h"
#include "platform/Errors.h"

#include <functional>

namespace tarquel {

namespace {

void closeIfOpen(SerialPort& port) {
    if (port.portOpen()) {
        port.setPortOpen(false);
    }
}

bool isLetter(char byte, char upper) {
    return byte == upper || byte == upper + ('a' - 'A');
}

// An "O" immediately followed by a "K", in any letter case.
bool holdsOk(const QByteArray& bytes) {
    for (qsizetype i = 0; i + 1 < bytes.size(); ++i) {
        if (isLetter(bytes[i], 'O') && isLetter(bytes[i + 1], 'K')) {
            return true;
        }
    }
    return false;
}

}  // namespace

PortDiscovery::PortDiscovery(Clock& clock, MessageBoxes& boxes, StartupResult& result)
    : clock_(clock), boxes_(boxes), result_(result) {}

void PortDiscovery::FindCommPorts(SerialPort& port) {
    int p = port.commPort();
    for (int attempt = 0; attempt < kLastPort; ++attempt) {
        if (p < kFirstPort || p > kLastPort) {
            result_.startupStatus = StartupStatus::NoPorts;
            continue;
        }
        bool opened = true;
        try {
            closeIfOpen(port);
            port.setCommPort(p);
            port.setPortOpen(true);
        } catch (const RuntimeError&) {
            // Absent, or held by another program: either way it cannot be used.
            opened = false;
        }
        result_.portStatus[p].opened = opened;
        p = p == kLastPort ? kFirstPort : p + 1;
    }

    // A port whose test fails starts the scan over once, in case the failure was passing; a
    // second failure of the same port marks it without traffic and the scan goes on.
    std::array<bool, kLastPort + 1> restartedBy{};
    bool anyPort = false;
    bool anyTraffic = false;
    while (!scanForActivity(port, restartedBy, anyPort, anyTraffic)) {
    }

    if (!anyPort) {
        result_.startupStatus = StartupStatus::NoPorts;
    } else if (!anyTraffic) {
        result_.startupStatus = StartupStatus::NoTraffic;
    }

    try {
        closeIfOpen(port);
        port.discardInput();
    } catch (const RuntimeError&) {
    }
}

bool PortDiscovery::scanForActivity(SerialPort& port, std::array<bool, kLastPort + 1>& restartedBy,
                                    bool& anyPort, bool& anyTraffic) {
    anyPort = false;
    anyTraffic = false;
    result_.activePort = 0;
    for (int q = kFirstPort; q <= kLastPort; ++q) {
        if (!result_.portStatus[q].opened) {
            continue;
        }
        anyPort = true;
        bool active = false;
        try {
            closeIfOpen(port);
            port.setCommPort(q);
            active = fPortHasActivity(port);
        } catch (const RuntimeError&) {
            if (!restartedBy[q]) {
                restartedBy[q] = true;
                return false;
            }
        }
        result_.portStatus[q].traffic = active;
        if (active) {
            result_.activePort = q;
            anyTraffic = true;
        }
    }
    return true;
}

bool PortDiscovery::fPortHasActivity(SerialPort& port) {
    const int savedThreshold = port.rThreshold();
    try {
        closeIfOpen(port);
        port.discardInput();
        port.setRThreshold(kQuietThreshold);
        port.setPortOpen(true);
        clock_.delay(kActivityWaitMs);
        const bool active = port.inBufferCount() >= 1;
        port.setPortOpen(false);
        port.discardInput();
        port.setRThreshold(savedThreshold);
        port.setPortOpen(true);
        return active;
    } catch (const RuntimeError&) {
        // The control keeps its threshold for whoever uses it next.
        port.setRThreshold(savedThreshold);
        throw;
    }
}

void PortDiscovery::CheckForModems(SerialPort& port) {
    PortErrorGuard guard(clock_, boxes_, QStringLiteral("routine CheckForModems"), 20,
                         {ErrorNumber::SettingsNotApplied, ErrorNumber::ReadFailed,
                          ErrorNumber::ControlBlockFailed});
    const int savedPort = port.commPort();
    const int savedThreshold = port.rThreshold();
    const int savedInputLen = port.inputLen();

    for (int p = kFirstPort; p <= kLastPort; ++p) {
        if (result_.portStatus[p].opened && !probeForModem(port, p, guard)) {
            return;
        }
    }

    // A reported error has ended the test above and left the control as it was then. The
    // restoring steps are idempotent, so the guard may repeat them together.
    guard.run([&] {
        closeIfOpen(port);
        port.setCommPort(savedPort);
        port.setRThreshold(savedThreshold);
        port.setInputLen(savedInputLen);
    });
}

bool PortDiscovery::probeForModem(SerialPort& port, int p, PortErrorGuard& guard) {
    QByteArray answer;
    const std::function<void()> steps[] = {
        // Only properties: repeating them all after a failure is harmless.
        [&] {
            closeIfOpen(port);
            port.setCommPort(p);
            port.setRThreshold(kQuietThreshold);
            port.setInputLen(0);
        },
        [&] { port.setPortOpen(true); },
        [&] { port.discardInput(); },
        [&] { port.output(QByteArrayLiteral("AT\r")); },
        [&] { clock_.delay(kModemWaitMs); },
        [&] { answer = port.input(); },
        [&] {
            if (holdsOk(answer)) {
                result_.portStatus[p].modem = true;
            }
        },
        [&] { port.setPortOpen(false); },
    };
    for (const std::function<void()>& step : steps) {
        if (!guard.run(step)) {
            return false;
        }
    }
    return true;
}

}  // namespace tarquel
