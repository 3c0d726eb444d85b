#pragma once

#include "platform/FakeSerialPort.h"
#include "platform/MessageBoxes.h"
#include "platform/VirtualClock.h"
#include "support/MemoryPeer.h"
#include "unitlink/SharedState.h"
#include "unitlink/StdUnitAccess.h"
#include "unitlink/UnitLink.h"

#include <gtest/gtest.h>

namespace tarquel::test {

// A unit link on port 1 of the fake hardware with a MemoryPeer as the unit, on virtual time.
class UnitLinkFixture : public ::testing::Test {
protected:
    UnitLinkFixture()
        : system(clock),
          port(system),
          access(clock, boxes, state.unitMap),
          link(port, access, state) {
        system.addPort(1, &unit);
        port.setCommPort(1);
    }

    // Four strings packed back to back, each ended by a zero byte.
    static QByteArray packed(std::initializer_list<const char*> strings) {
        QByteArray bytes;
        for (const char* s : strings) {
            bytes += s;
            bytes += '\0';
        }
        return bytes;
    }

    void makeB600Unit() {
        unit.setText(0xC000, packed({"Corvane Industries", "Heading Sensor B", "VERSION 3.1",
                                     "CopyRight 2026"}));
    }
    void make1600Unit(const QByteArray& text = QByteArray("\xFF") + "Compass rev x Version 1.4",
                      const char* revision = "C2") {
        unit.answers = [](int address) { return address < 0xC000; };
        unit.setText(0x4000,
                     packed({text.constData(), "Copyright 2026", "Corvane Industries", "1600"}));
        unit.setText(0x16EA, revision);
    }

    // The bytes of every write to the unit, in order, and when each was made.
    std::vector<FakePortSystem::WriteRecord> writes() const { return system.writes(); }

    VirtualClock clock;
    FakePortSystem system;
    FakeSerialPort port;
    MemoryPeer unit;
    ScriptedMessageBoxes boxes;
    SharedState state;
    StdUnitAccess access;
    UnitLink link;
};

}  // namespace tarquel::test
