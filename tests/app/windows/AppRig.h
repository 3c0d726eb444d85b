#pragma once

#include "app/AppServices.h"
#include "app/Application.h"
#include "app/FrmMain.h"
#include "app/FrmSplash.h"
#include "platform/FakeSerialPort.h"
#include "platform/MessageBoxes.h"
#include "platform/VirtualClock.h"
#include "support/Screenshot.h"
#include "unitsim/SimulatedUnit.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMap>
#include <QWidget>
#include <map>
#include <memory>

namespace tarquel::test {

// The whole application on virtual time: fake serial hardware with simulated units on chosen
// port numbers, message boxes answered by the test, and the real windows (offscreen).
class AppRig : public ::testing::Test {
protected:
    AppRig()
        : system(clock),
          services{clock,
                   boxes,
                   [this] { return std::make_unique<FakeSerialPort>(system); },
                   [this](int port) {
                       return system.exists(port) ? QStringLiteral("fake:port%1").arg(port)
                                                  : QString();
                   },
                   [this](const QString& name) { return environment.value(name); },
                   fileDialogs,
                   desktop} {
        clock.setEventHook([] { QCoreApplication::processEvents(); });
    }

    ~AppRig() override {
        app.reset();
        QCoreApplication::processEvents();
    }

    unitsim::SimulatedUnit& addUnit(int port, unitsim::UnitConfig config = {}) {
        config.physics.noiseMg = 0;
        auto unit = std::make_unique<unitsim::SimulatedUnit>(config);
        system.addPort(port, unit.get());
        units[port] = std::move(unit);
        return *units[port];
    }

    // Starts the application and lets virtual time run until the main window is up and the
    // splash window gone. Returns false if that does not happen within maxMs.
    bool startApplication(qint64 maxMs = 40000) {
        app = std::make_unique<Application>(services);
        app->start();
        return clock.runUntil(
            [this] {
                return app->mainWindow() != nullptr && app->mainWindow()->isVisible() &&
                       app->splash() == nullptr;
            },
            maxMs);
    }

    FrmMain& main() { return *app->mainWindow(); }
    UnitSession& session() { return main().session(); }
    QString labelText(const char* name) { return main().label(name)->text(); }

    QStringList boxTitles() const {
        QStringList titles;
        for (const MsgBox& box : boxes.shown()) {
            titles << box.title;
        }
        return titles;
    }

    VirtualClock clock;
    FakePortSystem system;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs fileDialogs;
    RecordingDesktopServices desktop;
    QMap<QString, QString> environment{{QStringLiteral("HOME"), QStringLiteral("/home/tech")}};
    AppServices services;
    std::map<int, std::unique_ptr<unitsim::SimulatedUnit>> units;
    std::unique_ptr<Application> app;
};

}  // namespace tarquel::test
