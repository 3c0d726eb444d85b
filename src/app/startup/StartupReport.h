#pragma once

#include "app/startup/StartupResult.h"
#include "platform/MessageBoxes.h"
#include "session/UnitSession.h"

namespace tarquel {

// The port menu entries as the start-up report changes them.
class PortMenuView {
public:
    virtual ~PortMenuView() = default;
    virtual void appendToPortEntry(int index, const QString& suffix) = 0;
    virtual void setPortEntryVisible(int index, bool visible) = 0;
};

// The main window's start-up duties when it loads: tell the operator what port discovery and the
// baud-rate test found, apply the detected rate and format to MSComm1, mark modem ports and hide
// missing ones in the port menu, open the first port with traffic, identify the unit there and
// set the calibration mode.
class StartupReport {
public:
    StartupReport(const StartupResult& result, UnitSession& session, MessageBoxes& boxes,
                  CommView& comm, PortMenuView& menu);

    // Runs the duties; an error on the way shows the "Program Error!" box and ends them.
    void run();

private:
    void reportOutcome();
    void openPorts();

    const StartupResult& result_;
    UnitSession& session_;
    MessageBoxes& boxes_;
    CommView& comm_;
    PortMenuView& menu_;
};

}  // namespace tarquel
