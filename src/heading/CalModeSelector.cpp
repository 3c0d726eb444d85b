#include "heading/CalModeSelector.h"

#include "platform/Errors.h"
#include "unitlink/UnitCommands.h"

namespace tarquel {

QString calibrationChannelsFor(CalMode mode) {
    return mode == CalMode::Pendulum ? kPendChannels : kAccelChannels;
}

namespace {

// The two rows of the command table.
struct Mode {
    CalMode calMode;
    bool accelChecked;
    const char* caption;
    const char* errorTitle;
    const char* errorLine;
};

constexpr Mode kModes[] = {
    {CalMode::Accelerometer, true, "Accel", "Error Setting Accel Mode!",
     "Error setting the unit to Accelerometer Mode."},
    {CalMode::Pendulum, false, "Pend", "Error Setting Pend Mode!",
     "Error setting the unit to Pendulum Mode."},
};

}  // namespace

CalModeSelector::CalModeSelector(UnitLink& link, MessageBoxes& boxes, CalModeView& view,
                                 HeadingCalculator& heading)
    : link_(link), boxes_(boxes), view_(view), heading_(heading) {}

void CalModeSelector::selectCalMode(CalMode calMode) {
    const Mode& mode = kModes[calMode == CalMode::Pendulum ? 1 : 0];
    bool ok = false;
    try {
        ok = applyTo(mode.calMode, mode.accelChecked, QLatin1String(mode.caption));
    } catch (const RuntimeError&) {
        // A port error while the channels are read counts as a failed command.
        ok = false;
    }
    if (ok) {
        heading_.restartSmoothing();
        return;
    }
    boxes_.show(okBox({QLatin1String(mode.errorLine),
                       QStringLiteral("Please check the connections and try again.")},
                      QLatin1String(mode.errorTitle), MsgIcon::Critical));
}

bool CalModeSelector::applyTo(CalMode mode, bool accelChecked, const QString& caption) {
    if (!link_.fInit(false) || !link_.fWriteAccess()) {
        return false;
    }
    view_.setCalModeChecks(accelChecked, !accelChecked);
    view_.setCalModeCaption(caption);
    calMode_ = mode;
    return link_.recordChannels() && link_.fSetChannels(calibrationChannelsFor(calMode_));
}

}  // namespace tarquel
