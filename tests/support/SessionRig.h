#pragma once

#include "platform/FileDialogs.h"
#include "platform/ProgressWindow.h"
#include "session/UnitSession.h"
#include "support/RecordingViews.h"
#include "support/SimRig.h"

#include <memory>

namespace tarquel::test {

// A unit session on port 1 of the simulated world (open at 9600 baud, receiving), with every view
// recorded, the progress window logged, message boxes and file dialogs answered by the test.
// Keeps no backups and records unless records is set before newSession().
class SessionRig : public SimWorld {
protected:
    SessionRig() { newSession(); }

    // A fresh session (the previous one is dropped without ending).
    void newSession() {
        session.reset();
        auto MSComm1 = std::make_unique<FakeSerialPort>(system);
        port = MSComm1.get();
        port->setCommPort(1);
        port->setPortOpen(true);
        session = std::make_unique<UnitSession>(
            std::move(MSComm1), SessionServices{clock, boxes, progress, dialogs, records},
            SessionViews{views, views, views, views, views, views, views, views});
        session->link().setDataFormat(DataFormat::Decimal);
        session->startLiveData();
    }
    // Turns the vehicle to heading and lets the display settle for ms milliseconds.
    void turnTo(double heading, int ms = 12000) {
        unit->setHeading(heading);
        clock.runFor(ms);
    }
    UnitLink& link() { return session->link(); }
    CalibrationWorkflow& calibration() { return session->calibration(); }

    // Backups and records of the next newSession(); none by default.
    std::optional<RecordsSettings> records;
    RecordingProgressWindow progress{&clock};
    ScriptedFileDialogs dialogs;
    RecordingViews views;
    FakeSerialPort* port = nullptr;
    std::unique_ptr<UnitSession> session;
};

}  // namespace tarquel::test
