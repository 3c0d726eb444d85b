#pragma once

// The simulated unit as its own program on a pseudo-terminal, and the PC's unit link on the real
// serial port class and clock in front of it: what the unit-link benchmarks measure.
#include "platform/MessageBoxes.h"
#include "platform/PortDirectory.h"
#include "platform/QtSerialPort.h"
#include "platform/RealClock.h"
#include "unitlink/StdUnitAccess.h"
#include "unitlink/UnitLink.h"

#include <QProcess>
#include <QStringList>
#include <cstdio>
#include <memory>

namespace tarquel::bench {

class BenchUnit {
public:
    // Starts tarquel-unitsim with the options (the frame stream off) at baud and opens the link.
    // False, with a line on stderr, when the unit does not start or answer.
    bool start(QStringList options, int baud) {
        options << QStringLiteral("--baud") << QString::number(baud)
                << QStringLiteral("--no-stream");
        process_.start(QStringLiteral(TARQUEL_UNITSIM_BIN), options);
        if (!process_.waitForReadyRead(5000)) {
            std::fprintf(stderr, "tarquel-unitsim did not start\n");
            return false;
        }
        const QString device =
            QString::fromLocal8Bit(process_.readLine()).trimmed().section(QLatin1Char(' '), 1);
        port_ = std::make_unique<QtSerialPort>(PortDirectory({device}));
        port_->setCommPort(1);
        port_->setSettings(QStringLiteral("%1,n,8,1").arg(baud));
        port_->setPortOpen(true);
        link_ = std::make_unique<UnitLink>(*port_, clock_, boxes_);
        if (!link_->fInit(true)) {
            std::fprintf(stderr, "the simulated unit did not answer\n");
            return false;
        }
        return true;
    }

    // Closes the port and ends the simulated unit.
    void stop() {
        if (port_) {
            port_->setPortOpen(false);
        }
        process_.write("quit\n");
        process_.waitForFinished(3000);
    }

    UnitLink& link() { return *link_; }
    SerialPort& port() { return *port_; }
    StdUnitAccess& access() { return link_->access(); }
    RealClock& clock() { return clock_; }

private:
    QProcess process_;
    RealClock clock_;
    ConsoleMessageBoxes boxes_;
    std::unique_ptr<QtSerialPort> port_;
    std::unique_ptr<UnitLink> link_;
};

}  // namespace tarquel::bench
