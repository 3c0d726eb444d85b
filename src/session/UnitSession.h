#pragma once

#include "calibration/CalibrationView.h"
#include "calibration/CalibrationWorkflow.h"
#include "heading/CalModeSelector.h"
#include "heading/Gauge.h"
#include "heading/HeadingCalculator.h"
#include "livedata/LiveDataSession.h"
#include "livedata/LiveViews.h"
#include "maintenance/NorthAlignment.h"
#include "maintenance/UserCorrectionRemoval.h"
#include "maptool/MapTool.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgressWindow.h"
#include "platform/SerialPort.h"
#include "records/CalibrationReport.h"
#include "records/UnitRecords.h"
#include "unitlink/PortSelection.h"
#include "unitlink/UnitLink.h"

#include <QString>
#include <memory>
#include <optional>

namespace tarquel {

// Where a front end shows the unit the session has identified.
class UnitView {
public:
    virtual ~UnitView() = default;
    virtual void showIdentifiedUnit(const IdentifiedUnit& unit) = 0;
};

// What the platform gives a session: the clock, the operator's message boxes, the progress window
// and the file dialogs; and where the backups and records are kept (none: changes are neither
// backed up nor recorded).
struct SessionServices {
    Clock& clock;
    MessageBoxes& boxes;
    ProgressWindow& progress;
    FileDialogs& fileDialogs;
    std::optional<RecordsSettings> records = std::nullopt;
};

// The views a front end hands the session: the main window's widgets, or the command line's texts.
struct SessionViews {
    LiveDataView& live;
    StatusView& status;
    TiltPopupWindow& tiltPopups;
    Gauge& gauge;
    CalModeView& calMode;
    CommView& comm;
    CalibrationView& calibration;
    UnitView& unit;
};

// One connection to a unit and everything that belongs to it: the serial port MSComm1, the unit
// link, port selection, the heading computation and the calibration mode, the live-data pipeline,
// the calibration, maintenance and map workflows, the backups and records of the changes made,
// and the rule that ends the session. The main
// window and tarquel-cli each build one and drive its workflows; neither holds unit logic of its
// own.
class UnitSession {
public:
    UnitSession(std::unique_ptr<SerialPort> MSComm1, const SessionServices& services,
                const SessionViews& views);
    ~UnitSession();
    UnitSession(const UnitSession&) = delete;
    UnitSession& operator=(const UnitSession&) = delete;

    // Starts receiving: from now on the unit's frames reach the live display and the gauge.
    void startLiveData();

    // The end of the session (the main window closes, a command ends): the unit's settings are
    // restored when a test altered them, its channels and format when a test still runs; the
    // checksum is recalculated when a calibration was written or a north rotation added since
    // the last recalculation; then the port is closed. Runs once; true when it recalculated.
    bool end();

    // The unit identified last: its family and its identification text.
    IdentifiedUnit identifiedUnit() const { return link_.identifiedUnit(); }

    SerialPort& MSComm1() { return *port_; }
    UnitLink& link() { return link_; }
    PortSelection& ports() { return ports_; }
    CalModeSelector& calModes() { return calModes_; }
    LiveDataSession& liveData() { return liveData_; }
    CalibrationWorkflow& calibration() { return calibration_; }
    NorthAlignment& northAlignment() { return northAlignment_; }
    ClearMagneticCalibration& clearCalibration() { return clearCalibration_; }
    ClearNorthRotation& clearNorth() { return clearNorth_; }
    MapTool& maps() { return maps_; }
    // What the calibration report shows of the last calibration written in this session; none
    // before one was written.
    std::optional<CalibrationReportData> calibrationReport() const;
    // Null when the session keeps no backups and records.
    UnitRecords* records() { return records_ ? &*records_ : nullptr; }

private:
    std::unique_ptr<SerialPort> port_;
    ProgressWindow& progress_;
    UnitLink link_;
    PortSelection ports_;
    HeadingCalculator heading_;
    CalModeSelector calModes_;
    LiveDataSession liveData_;
    CalibrationWorkflow calibration_;
    NorthAlignment northAlignment_;
    ClearMagneticCalibration clearCalibration_;
    ClearNorthRotation clearNorth_;
    MapTool maps_;
    std::optional<UnitRecords> records_;
    bool ended_ = false;
};

}  // namespace tarquel
