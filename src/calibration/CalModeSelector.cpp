#include "calibration/CalModeSelector.h"

#include "platform/Errors.h"

namespace tarquel {

namespace {

constexpr CalModeSelector::Mode kAccelerometer{CalMode::Accelerometer, true, "Accel",
                                               "Error Setting Accel Mode!",
                                               "Error setting the unit to Accelerometer Mode."};
constexpr CalModeSelector::Mode kPendulum{CalMode::Pendulum, false, "Pend",
                                          "Error Setting Pend Mode!",
                                          "Error setting the unit to Pendulum Mode."};

}  // namespace

CalModeSelector::CalModeSelector(UnitLink& link, SharedState& state, MessageBoxes& boxes,
                                 CalModeView& view)
    : link_(link), state_(state), boxes_(boxes), view_(view) {}

void CalModeSelector::mnuCalAccel_Click() {
    select(kAccelerometer);
}

void CalModeSelector::mnuCalPend_Click() {
    select(kPendulum);
}

void CalModeSelector::select(const Mode& mode) {
    bool ok = false;
    try {
        ok = applyTo(mode);
    } catch (const RuntimeError&) {
        // A port error while the channels are read counts as a failed command.
        ok = false;
    }
    if (ok) {
        state_.channelFilterPrimed = false;
        state_.inclFilterPrimed = false;
        state_.noAccelWarned = false;
        return;
    }
    boxes_.show({QLatin1String(mode.errorLine) + QStringLiteral("\r\n") +
                     QStringLiteral("Please check the connections and try again."),
                 QLatin1String(mode.errorTitle), MsgIcon::Critical, MsgButtons::OK});
}

bool CalModeSelector::applyTo(const Mode& mode) {
    if (!link_.fInit(false) || !link_.fWriteAccess()) {
        return false;
    }
    view_.setCalModeChecks(mode.accelChecked, !mode.accelChecked);
    view_.setCalModeCaption(QLatin1String(mode.caption));
    state_.calMode = mode.calMode;

    if (!state_.channelsSaved) {
        QString selection;
        if (!link_.fGetChannels(selection)) {
            return false;
        }
        state_.savedChannels = selection;
        state_.savedFormat = state_.dataFormat;
        state_.channelsSaved = true;
    }
    return link_.fSetChannels(false);
}

}  // namespace tarquel
