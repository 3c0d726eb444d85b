#pragma once

#include "app/AppServices.h"
#include "app/DisplayThemes.h"
#include "app/HelpFile.h"
#include "app/StartupReport.h"
#include "calibration/CalModeSelector.h"
#include "calibration/CalPlot.h"
#include "calibration/CalibrationWorkflow.h"
#include "dialogs/QtProgressWindow.h"
#include "livedata/DataTerminal.h"
#include "livedata/LiveViews.h"
#include "maintenance/NorthAlignment.h"
#include "maintenance/UserCorrectionRemoval.h"
#include "unitlink/PortSelection.h"
#include "unitlink/SharedState.h"
#include "unitlink/StdUnitAccess.h"
#include "unitlink/UnitLink.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace tarquel {

class CalGaugeWidget;
class FrmEEPROMCompare;
class CalibrationPanel;
class LiveDataSession;

// The main window: the serial port MSComm1 through which all unit traffic goes, the live values
// and status areas, the calibration controls and the menus. Its unit operations live in UnitLink,
// PortSelection, CalModeSelector and the live-data session; the window shows what they report.
class FrmMain : public QMainWindow,
                public LiveDataView,
                public StatusView,
                public TiltPopupWindow,
                public CalModeView,
                public CommView,
                public PortMenuView {
    Q_OBJECT
public:
    FrmMain(AppServices& services, SharedState& state, QWidget* parent = nullptr);
    ~FrmMain() override;

    // The window's load: height, captions, position, then the start-up duties (report, port,
    // identification, calibration mode).
    void Load();

    SerialPort& MSComm1() { return *MSComm1_; }
    UnitLink& unitLink() { return *unitLink_; }
    PortSelection& portSelection() { return *portSelection_; }
    CalModeSelector& calModeSelector() { return *calModeSelector_; }
    LiveDataSession& liveData() { return *liveData_; }
    CalibrationWorkflow& calibration() { return *calibration_; }
    NorthAlignment& northAlignment() { return *northAlignment_; }
    DataTerminal* dataTerminal() const { return terminal_; }
    const CalPlotModel& calPlot() const { return calPlot_; }
    CalibrationPanel* calibrationPanel() const { return calibrationPanel_; }

    // The display themes, for every loaded window. Windows opened later call followTheme() once
    // they exist, so they take high contrast when it is ticked.
    void mnuHiCon_Click();
    void mnuNormalView_Click();
    void followTheme();

    // Blanks the seven live values.
    void ResetDataWindows();

    // Controls, by their names, for the themes and for tests.
    QAction* mnuCommPort(int index) const { return mnuCommPort_[static_cast<size_t>(index)]; }
    QAction* action(const char* name) const;
    QLabel* label(const char* name) const;
    QLabel* DataBox(int index) const { return DataBox_[static_cast<size_t>(index)]; }
    QPushButton* button(const char* name) const;
    CalGaugeWidget* lgCal() const { return lgCal_; }
    QPlainTextEdit* txtInformation() const { return txtInformation_; }
    // txtInformation's text as composed, with its CR LF line ends.
    const QString& informationText() const { return informationText_; }
    const QString& softwareInfoText() const { return softwareInfoText_; }

    // LiveDataView
    void setDataBoxCaption(int slot, const QString& caption) override;
    QString dataBoxCaption(int slot) const override;
    void setFrameCountCaption(const QString& caption) override;
    QString frameRateCaption() const override;
    void setFrameRateCaption(const QString& caption) override;
    bool getDataEnabled() const override;
    void focusGetData() override;
    // StatusView
    void setInformationText(const QString& text) override;
    void setInformationCaption(const QString& caption) override;
    void showCautionBadge(const QString& caption, Rgb backColour) override;
    void hideCautionBadge() override;
    void setSoftwareInfo(const QString& text) override;
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
    QWidget* buildLiveArea();
    QWidget* buildCalibrationArea();
    void calibrationClicked(CalControl control);
    QWidget* buildStatusArea();
    void SetWindowCaptions();
    void mnuProperties_Click();
    void mnuAbout_Click();
    void mnuGetEEPROM_Click();
    void mnuDataTerminal_Click();
    void mnuExit_Click();
    void unloadSequence();
    void updatePortTips();
    void showIdentifiedUnit();

    AppServices& services_;
    SharedState& state_;
    std::unique_ptr<SerialPort> MSComm1_;
    StdUnitAccess access_;
    std::unique_ptr<UnitLink> unitLink_;
    std::unique_ptr<PortSelection> portSelection_;
    std::unique_ptr<CalModeSelector> calModeSelector_;
    std::unique_ptr<LiveDataSession> liveData_;
    QtProgressWindow progress_{this};
    CalPlotModel calPlot_;
    std::unique_ptr<CalibrationWorkflow> calibration_;
    std::unique_ptr<NorthAlignment> northAlignment_;
    std::unique_ptr<ClearMagneticCalibration> clearCal_;
    std::unique_ptr<ClearNorthRotation> clearNorth_;
    DisplayThemes themes_;
    HelpFile helpFile_;
    QPointer<FrmEEPROMCompare> compare_;
    QPointer<DataTerminal> terminal_;
    bool unloaded_ = false;

    std::array<QAction*, kPortMenuEntries> mnuCommPort_{};
    std::array<QLabel*, 7> DataBox_{};
    std::array<QLabel*, 7> DataLabel_{};
    QLabel* FrameRate_ = nullptr;
    QLabel* lblFrame_ = nullptr;
    QLabel* lblUnit_ = nullptr;
    QLabel* Label46_ = nullptr;
    QLabel* lblCaution_ = nullptr;
    QLabel* lblSoftwareInfo_ = nullptr;
    QLabel* Label8_ = nullptr;
    QLabel* Label9_ = nullptr;
    QLabel* Label10_ = nullptr;
    QLabel* lblCalMode_ = nullptr;
    QPlainTextEdit* txtInformation_ = nullptr;
    CalGaugeWidget* lgCal_ = nullptr;
    CalibrationPanel* calibrationPanel_ = nullptr;
    QString informationText_;
    QString softwareInfoText_;
};

}  // namespace tarquel
