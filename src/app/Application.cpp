#include "app/Application.h"

#include "app/FrmMain.h"
#include "app/FrmSplash.h"
#include "app/startup/Startup.h"

#include <QTimer>

namespace tarquel {

Application::Application(AppServices& services) : services_(services) {}

Application::~Application() {
    // The start-up logic refers to the splash window's port: it goes first.
    startup_.reset();
    splash_.reset();
    main_.reset();
}

void Application::start() {
    splash_ = std::make_unique<FrmSplash>(services_);
    PrepareTestComm(splash_->TestComm());
    startup_ = std::make_unique<Startup>(
        services_.clock, services_.boxes, splash_->TestComm(), *splash_,
        [this] { showMainWindow(); }, [this] { unloadSplash(); });
    splash_->setBaudTest(&startup_->baudTest());
    splash_->setOnAbandoned([this] {
        emit startupAbandoned();
        QTimer::singleShot(0, this, [this] {
            startup_.reset();
            splash_.reset();
        });
    });
    splash_->show();
    emit splashShown();
    startup_->Main();
}

void Application::showMainWindow() {
    main_ = std::make_unique<FrmMain>(services_);
    main_->Load(startup_->result());
    main_->show();
    emit mainWindowShown();
}

void Application::unloadSplash() {
    splash_->hide();
    // The start-up object is still running the handler that asked for this.
    QTimer::singleShot(0, this, [this] {
        startup_.reset();
        splash_.reset();
    });
}

}  // namespace tarquel
