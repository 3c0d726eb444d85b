#pragma once

#include "app/AppServices.h"

#include <QObject>
#include <memory>

namespace tarquel {

class FrmMain;
class FrmSplash;
class Startup;

// The application from launch to the main window: the splash window with port discovery and the
// baud-rate test, then the main window with what they found.
class Application : public QObject {
    Q_OBJECT
public:
    explicit Application(AppServices& services);
    ~Application() override;

    // Shows the splash window and starts looking for the unit.
    void start();

    FrmSplash* splash() const { return splash_.get(); }
    FrmMain* mainWindow() const { return main_.get(); }
    Startup* startup() const { return startup_.get(); }

signals:
    void splashShown();
    void mainWindowShown();
    // A key press during the baud-rate test closed the splash window: no main window follows.
    void startupAbandoned();

private:
    void showMainWindow();
    void unloadSplash();

    AppServices& services_;
    std::unique_ptr<FrmSplash> splash_;
    std::unique_ptr<Startup> startup_;
    std::unique_ptr<FrmMain> main_;
};

}  // namespace tarquel
