#include "app/startup/Startup.h"

#include <utility>

namespace tarquel {

void PrepareTestComm(SerialPort& TestComm) {
    if (TestComm.portOpen()) {
        TestComm.setPortOpen(false);
    }
    TestComm.setCommPort(PortDiscovery::kFirstPort);
    TestComm.setSettings(QStringLiteral("9600,n,8,1"));
    TestComm.setInputLen(0);
    TestComm.setRThreshold(1);
}

Startup::Startup(Clock& clock, MessageBoxes& boxes, SerialPort& TestComm, SplashView& view,
                 std::function<void()> showMainWindow, std::function<void()> unloadSplash)
    : clock_(clock),
      TestComm_(TestComm),
      view_(view),
      showMainWindow_(std::move(showMainWindow)),
      unloadSplash_(std::move(unloadSplash)),
      discovery_(clock, boxes, result_),
      baudTest_(clock, boxes, result_, TestComm, view, [this] { ContinueStartup(); }) {}

void Startup::Main() {
    showProgress(QStringLiteral("Checking Communications Ports ..."));
    discovery_.FindCommPorts(TestComm_);
    if (result_.startupStatus == StartupStatus::Found) {
        baudTest_.start();
    } else {
        ContinueStartup();
    }
}

void Startup::ContinueStartup() {
    showProgress(QStringLiteral("Testing for Modems ..."));
    discovery_.CheckForModems(TestComm_);
    showProgress(QStringLiteral("Loading Settings ..."));
    if (showMainWindow_) {
        showMainWindow_();
    }
    // Last: it may take this object with the splash window.
    const std::function<void()> unload = unloadSplash_;
    if (unload) {
        unload();
    }
}

void Startup::showProgress(const QString& text) {
    view_.setLblMessagesText(text);
    clock_.doEvents();
}

}  // namespace tarquel
