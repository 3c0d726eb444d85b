#pragma once

#include "app/AppServices.h"
#include "app/DisplayThemes.h"
#include "app/HelpFile.h"
#include "app/startup/StartupReport.h"
#include "calibration/CalPlot.h"
#include "dialogs/QtProgressWindow.h"
#include "livedata/DataTerminal.h"
#include "session/UnitSession.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>

class QAction;
class QLabel;
class QPushButton;

namespace tarquel {

class CalGaugeWidget;
class CalibrationPanel;
class FrmEEPROMCompare;
class LiveValuesPanel;
class StatusPanel;

// The main window: the live values, the calibration area and the status areas, and the menus.
// It is a view of its unit session: it builds its widgets, hands them to the session as its views
// and forwards every control's event to the session's workflows.
class FrmMain : public QMainWindow,
                public TiltPopupWindow,
                public CalModeView,
                public CommView,
                public PortMenuView {
    Q_OBJECT
public:
    explicit FrmMain(AppServices& services, QWidget* parent = nullptr);
    ~FrmMain() override;

    // The window's load: height, captions, position, then the start-up report (what start-up
    // found, the port, the identification, the calibration mode).
    void Load(const StartupResult& startup);

    UnitSession& session() { return *session_; }
    DataTerminal* dataTerminal() const { return terminal_; }
    CalibrationPanel* calibrationPanel() const { return calibrationPanel_; }
    StatusPanel* statusPanel() const { return statusPanel_; }

    // The display themes, for every loaded window. Windows opened later call followTheme() once
    // they exist, so they take high contrast when it is ticked.
    void mnuHiCon_Click();
    void mnuNormalView_Click();
    void followTheme();

    // Controls, by their names, for the themes and for tests.
    QAction* mnuCommPort(int index) const { return mnuCommPort_[static_cast<size_t>(index)]; }
    QAction* action(const char* name) const;
    QLabel* label(const char* name) const;
    QPushButton* button(const char* name) const;
    CalGaugeWidget* lgCal() const;

    // TiltPopupWindow: the program's information window.
    int OpenInfoWindow(const QString& message, const QString& title, int flags,
                       int countdownSeconds, int modal) override;
    // CalModeView
    void setCalModeChecks(bool accelChecked, bool pendChecked) override;
    void setCalModeCaption(const QString& caption) override;
    // CommView
    void setPortChecked(int index, bool checked) override;
    void setPortCaption(const QString& caption) override;
    void setSettingsCaption(const QString& caption) override;
    void setFormatCaption(const QString& caption) override;
    // PortMenuView
    void appendToPortEntry(int index, const QString& suffix) override;
    void setPortEntryVisible(int index, bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void SetWindowCaptions();
    void updatePortTips();

    // The controls' events, each forwarded to its workflow.
    void btnInitialize_Click() { session_->calibration().beginTest(); }
    void btnGetData_Click() { session_->calibration().storePoint(); }
    void btnClear_Click() { session_->calibration().clearPoints(); }
    void btnEEPROM_Click();
    void btnNewTest_Click() { session_->calibration().endTest(); }
    void btnAlign_Click() { session_->northAlignment().alignNorth(); }
    void mnuClearCal_Click() { session_->clearCalibration().removeUserCalibration(); }
    void mnuClearNorth_Click() { session_->clearNorth().removeNorthRotation(); }
    void mnuCalAccel_Click() { session_->calModes().selectCalMode(CalMode::Accelerometer); }
    void mnuCalPend_Click() { session_->calModes().selectCalMode(CalMode::Pendulum); }
    void mnuCommPort_Click(int index);
    void mnuProperties_Click();
    void mnuAbout_Click();
    void mnuGetEEPROM_Click();
    void mnuDataTerminal_Click();
    void mnuSaveReport_Click();
    void mnuExit_Click();

    AppServices& services_;
    QtProgressWindow progress_{this};
    CalPlotModel calPlot_;
    DisplayThemes themes_;
    HelpFile helpFile_;
    std::array<QAction*, kPortMenuEntries> mnuCommPort_{};
    LiveValuesPanel* livePanel_ = nullptr;
    CalibrationPanel* calibrationPanel_ = nullptr;
    StatusPanel* statusPanel_ = nullptr;
    std::unique_ptr<UnitSession> session_;
    QString desktopFolder_;  // where the calibration report is proposed
    QPointer<FrmEEPROMCompare> compare_;
    QPointer<DataTerminal> terminal_;
};

}  // namespace tarquel
