#pragma once

#include "platform/FakeSerialPort.h"
#include "platform/MessageBoxes.h"
#include "platform/VirtualClock.h"
#include "unitlink/SharedState.h"
#include "unitlink/StdUnitAccess.h"
#include "unitlink/UnitLink.h"
#include "unitsim/SimulatedUnit.h"

#include <gtest/gtest.h>
#include <memory>

namespace tarquel::test {

// A SimulatedUnit on port 1 of the fake hardware, with the PC's unit link in front of it, on
// virtual time. The port starts open at 9600 baud.
class UnitSimFixture : public ::testing::Test {
protected:
    UnitSimFixture()
        : system(clock),
          port(system),
          access(clock, boxes, state.unitMap),
          link(port, access, state) {
        port.setCommPort(1);
        makeUnit({});
        openAt(9600);
    }

    // Replaces the unit (noise off unless the config says otherwise).
    void makeUnit(unitsim::SimulatedUnit::Config config, bool exact = true) {
        if (exact) {
            config.physics.noiseMg = 0;
        }
        const bool wasOpen = port.portOpen();
        if (wasOpen) {
            port.setPortOpen(false);
        }
        system.removePort(1);
        unit = std::make_unique<unitsim::SimulatedUnit>(config);
        system.addPort(1, unit.get());
        if (wasOpen) {
            port.setPortOpen(true);
        }
    }

    void openAt(int baud) {
        if (port.portOpen()) {
            port.setPortOpen(false);
        }
        port.setSettings(QStringLiteral("%1,n,8,1").arg(baud));
        port.setPortOpen(true);
    }

    // Everything that arrives during ms milliseconds (the port must be open).
    QByteArray listen(int ms) {
        port.discardInput();
        clock.delay(ms);
        return port.input();
    }

    QString read(int address) {
        return access.ReadUnitWord(
            port, QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper());
    }

    VirtualClock clock;
    FakePortSystem system;
    FakeSerialPort port;
    std::unique_ptr<unitsim::SimulatedUnit> unit;
    ScriptedMessageBoxes boxes;
    SharedState state;
    StdUnitAccess access;
    UnitLink link;
};

}  // namespace tarquel::test
