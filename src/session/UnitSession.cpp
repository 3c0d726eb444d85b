#include "session/UnitSession.h"

#include "platform/LineEnds.h"
#include "unitlink/EEPROMChanges.h"

namespace tarquel {

QString IdentifiedUnit::summary() const {
    return family + QStringLiteral(" unit: ") + text.section(QLatin1Char('\n'), 0, 0).trimmed();
}

UnitSession::UnitSession(std::unique_ptr<SerialPort> MSComm1, const SessionServices& services,
                         const SessionViews& views)
    : port_(std::move(MSComm1)),
      progress_(services.progress),
      link_(*port_, services.clock, services.boxes),
      ports_(link_, services.boxes, views.comm),
      heading_(services.boxes),
      calModes_(link_, services.boxes, views.calMode, heading_),
      liveData_({link_, services.clock, heading_, calModes_, views.gauge, views.live, views.status,
                 views.tiltPopups}),
      calibration_(link_, calModes_, liveData_, services.boxes, services.progress,
                   views.calibration),
      northAlignment_(link_, services.boxes, services.progress,
                      [this] { return liveData_.display().dataBoxCaption(Slot::CalcHeading); }),
      clearCalibration_(link_, services.boxes, services.progress),
      clearNorth_(link_, services.boxes, services.progress),
      maps_(link_, services.boxes, services.progress, services.fileDialogs) {
    liveData_.setTestStatus(&calibration_);
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

IdentifiedUnit UnitSession::identifiedUnit() const {
    const UnitAddresses& addresses = link_.unitAddresses();
    IdentifiedUnit unit;
    unit.family = addresses.isB600Family ? QStringLiteral("B600") : QStringLiteral("1600");
    unit.text = plainLines(link_.idText()).remove(QChar(0xFF));
    return unit;
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
