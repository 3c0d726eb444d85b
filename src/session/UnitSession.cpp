#include "session/UnitSession.h"

#include "platform/Version.h"
#include "unitlink/EEPROMChanges.h"

#include <QSysInfo>

namespace tarquel {

UnitSession::UnitSession(std::unique_ptr<SerialPort> MSComm1, const SessionServices& services,
                         const SessionViews& views)
    : port_(std::move(MSComm1)),
      progress_(services.progress),
      link_(*port_, services.clock, services.boxes),
      ports_(link_, services.boxes, views.comm),
      heading_(services.boxes),
      calModes_(link_, services.boxes, views.calMode, heading_),
      liveData_({link_, services.clock, heading_, calModes_, views.gauge, views.live, views.status,
                 views.tiltPopups, services.boxes}),
      calibration_(link_, calModes_, liveData_, services.boxes, services.progress,
                   views.calibration),
      northAlignment_(link_, services.boxes, services.progress,
                      [this] { return liveData_.display().dataBoxCaption(Slot::CalcHeading); }),
      clearCalibration_(link_, services.boxes, services.progress),
      clearNorth_(link_, services.boxes, services.progress),
      maps_(link_, services.boxes, services.progress, services.fileDialogs) {
    liveData_.setTestStatus(&calibration_);
    if (services.records) {
        records_.emplace(link_, services.boxes, services.progress, *services.records);
        link_.setChangeWatch(&*records_);
        maps_.setBackupFolder([this] { return records_->unitBackupFolder(); });
    }
    link_.setOnIdentified(
        [this, &unitView = views.unit] { unitView.showIdentifiedUnit(identifiedUnit()); });
}

UnitSession::~UnitSession() {
    // The live data refers to the workflow that tells it whether a test runs.
    liveData_.setTestStatus(nullptr);
}

void UnitSession::startLiveData() {
    liveData_.start();
}

std::optional<CalibrationReportData> UnitSession::calibrationReport() const {
    const std::optional<CalibrationWrite>& written = calibration_.lastCalibrationWrite();
    if (!written) {
        return std::nullopt;
    }
    CalibrationReportData data;
    data.unit = identifiedUnit();
    data.computer = QSysInfo::machineHostName();
    data.programVersion = QLatin1String(kVersionText);
    data.device = port_->deviceName();
    data.baud = port_->settings().section(QLatin1Char(','), 0, 0).toInt();
    data.write = *written;
    data.backup = records_ ? records_->unitBackup() : QString();
    return data;
}

bool UnitSession::end() {
    if (ended_) {
        return false;
    }
    ended_ = true;
    // The unit's commands are sent without checking: the session is ending either way.
    calibration_.restoreUnit();
    bool recalculated = false;
    if (calibration_.calibrated() || northAlignment_.rotationAwaitsChecksum()) {
        recalculateChecksumRegardless(link_, progress_);
        progress_.CloseProcessWindow();
        recalculated = true;
    }
    if (port_->portOpen()) {
        port_->setPortOpen(false);
    }
    return recalculated;
}

}  // namespace tarquel
