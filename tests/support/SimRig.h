#pragma once

#include "platform/FakeSerialPort.h"
#include "platform/FaultyLine.h"
#include "platform/MessageBoxes.h"
#include "platform/VirtualClock.h"
#include "unitlink/UnitLink.h"
#include "unitsim/SimulatedUnit.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace tarquel::test {

// The simulated unit on port 1 of the fake hardware, behind a FaultyLine, on virtual time, with
// message boxes answered by the test.
class SimWorld : public ::testing::Test {
protected:
    SimWorld() : system(clock) {
        system.addPort(1, &line);
        makeUnit({});
    }

    // Replaces the unit (noise off unless exact is false).
    void makeUnit(unitsim::UnitConfig config, bool exact = true) {
        if (exact) {
            config.physics.noiseMg = 0;
        }
        unit = std::make_unique<unitsim::SimulatedUnit>(config);
        line.device = unit.get();
    }
    static unitsim::UnitConfig quietUnit(unitsim::MapFamily family = unitsim::MapFamily::B600) {
        unitsim::UnitConfig config;
        config.family = family;
        config.streamEnabled = false;
        return config;
    }
    static QString hex(int word) {
        return QStringLiteral("%1").arg(word, 4, 16, QLatin1Char('0')).toUpper();
    }
    // The bytes the PC wrote from index first of the write records on, concatenated.
    QByteArray written(std::size_t first = 0) const {
        QByteArray bytes;
        for (std::size_t i = first; i < system.writes().size(); ++i) {
            bytes += system.writes()[i].bytes;
        }
        return bytes;
    }
    // The writes from record first on: each one's time after the first of them, and its bytes.
    using Wire = std::vector<std::pair<qint64, QByteArray>>;
    Wire wire(std::size_t first = 0) const {
        Wire writes;
        for (std::size_t i = first; i < system.writes().size(); ++i) {
            writes.emplace_back(system.writes()[i].timeMs - system.writes()[first].timeMs,
                                system.writes()[i].bytes);
        }
        return writes;
    }
    // The command text sent from write record first on: the one-byte writes, concatenated (each
    // character of a command text goes out on its own; the read command's 7D byte too).
    QByteArray commandText(std::size_t first = 0) const {
        QByteArray text;
        for (std::size_t i = first; i < system.writes().size(); ++i) {
            if (system.writes()[i].bytes.size() == 1) {
                text += system.writes()[i].bytes;
            }
        }
        return text;
    }
    // The largest |unit heading - vehicle heading| over a full turn (the unit is left at 350).
    double worstHeadingError() {
        double worst = 0;
        for (int heading = 0; heading < 360; heading += 10) {
            unit->setHeading(heading);
            worst = std::max(worst, std::abs(unit->headingError()));
        }
        return worst;
    }
    QStringList boxTitles() const {
        QStringList titles;
        for (const MsgBox& box : boxes.shown()) {
            titles << box.title;
        }
        return titles;
    }

    VirtualClock clock;
    FakePortSystem system;
    FaultyLine line;
    std::unique_ptr<unitsim::SimulatedUnit> unit;
    ScriptedMessageBoxes boxes;
};

// The PC's unit link on port 1 of the world, which starts open at 9600 baud.
class SimRig : public SimWorld {
protected:
    SimRig() : port(system), link(port, clock, boxes) {
        port.setCommPort(1);
        openAt(9600);
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
    QString read(int address) { return link.fReadFromUnit(hex(address)); }

    FakeSerialPort port;
    UnitLink link;
};

}  // namespace tarquel::test
