#pragma once

#include "app/startup/BaudTest.h"
#include "app/startup/PortDiscovery.h"
#include "app/startup/SplashView.h"

#include <functional>

namespace tarquel {

// Gives the splash window's port the properties it starts with: port 1, "9600,n,8,1", reads take
// every waiting byte, and each arrival raises the receive event (which keeps the buffer short
// during the baud-rate test).
void PrepareTestComm(SerialPort& TestComm);

// The start-up sequence, run by the splash window on its port TestComm: port discovery, the
// baud-rate test when a port with traffic was found, the modem test, then the main window.
class Startup {
public:
    // showMainWindow creates, loads and shows the main window; unloadSplash closes the splash
    // window. unloadSplash may destroy this object, so it must not delete it synchronously
    // while a handler of it runs (use deleteLater).
    Startup(Clock& clock, MessageBoxes& boxes, SerialPort& TestComm, SplashView& view,
            std::function<void()> showMainWindow, std::function<void()> unloadSplash);

    // Called once the splash window is shown. Finds the ports; when traffic was found the
    // baud-rate test starts on tmrBaud and calls ContinueStartup when it ends, otherwise
    // ContinueStartup runs at once.
    void Main();
    // The modem test, then the main window; the splash window is unloaded last.
    void ContinueStartup();

    // What discovery and the baud-rate test found (complete once showMainWindow is called).
    const StartupResult& result() const { return result_; }
    PortDiscovery& discovery() { return discovery_; }
    BaudTest& baudTest() { return baudTest_; }

private:
    void showProgress(const QString& text);

    Clock& clock_;
    StartupResult result_;
    SerialPort& TestComm_;
    SplashView& view_;
    std::function<void()> showMainWindow_;
    std::function<void()> unloadSplash_;
    PortDiscovery discovery_;
    BaudTest baudTest_;
};

}  // namespace tarquel
