#include "app/StartupReport.h"

#include "platform/Errors.h"

#include <QStringList>

namespace tarquel {

namespace {
QString lines(const QStringList& parts) {
    return parts.join(QLatin1Char('\r'));
}
}  // namespace

StartupReport::StartupReport(SharedState& state, UnitLink& link, PortSelection& ports,
                             CalModeCommands& modes, MessageBoxes& boxes, CommView& comm,
                             PortMenuView& menu)
    : state_(state),
      link_(link),
      ports_(ports),
      modes_(modes),
      boxes_(boxes),
      comm_(comm),
      menu_(menu) {}

void StartupReport::run() {
    try {
        state_.calMode = CalMode::Accelerometer;
        reportOutcome();
        if (state_.startupStatus == StartupStatus::NoPorts) {
            for (int i = 0; i < kPortMenuEntries; ++i) {
                menu_.setPortEntryVisible(i, false);
            }
            return;
        }
        SerialPort& port = link_.port();
        if (state_.detectedBaud != 0) {
            if (port.portOpen()) {
                port.setPortOpen(false);
            }
            port.setSettings(QString::number(state_.detectedBaud) + QStringLiteral(",n,8,1"));
        }
        comm_.setSettingsCaption(port.settings());
        if (state_.detectedFormat == DataFormat::Binary) {
            comm_.setFormatCaption(QStringLiteral("Binary"));
            state_.dataFormat = DataFormat::Binary;
        } else {
            comm_.setFormatCaption(QStringLiteral("Decimal"));
            state_.dataFormat = DataFormat::Decimal;
        }
        openPorts();
    } catch (const RuntimeError& error) {
        boxes_.show({programErrorText(error, QStringLiteral("frmMain.Load")),
                     QStringLiteral("Program Error!"), MsgIcon::Critical, MsgButtons::OK});
    }
}

void StartupReport::reportOutcome() {
    const QString communicationSettings =
        QStringLiteral("Communication settings will set to system defaults.");
    switch (state_.startupStatus) {
        case StartupStatus::NoTraffic:
            boxes_.show(
                {lines({QStringLiteral("No activity found on any comm port."),
                        QStringLiteral(
                            "Your unit may not be turned on or there may be a bad connection."),
                        QStringLiteral("The first available port found has been activated.")}),
                 QStringLiteral("No communications detected!"), MsgIcon::Exclamation,
                 MsgButtons::OK});
            break;
        case StartupStatus::NoPorts:
            boxes_.show({QStringLiteral("No valid comm ports found! Make sure that your computer "
                                        "has a valid serial ") +
                             QStringLiteral("communications port."),
                         QStringLiteral("Communications Error!"), MsgIcon::Critical,
                         MsgButtons::OK});
            break;
        case StartupStatus::BaudFailed:
            boxes_.show({lines({QStringLiteral("Baud Rate Detection Failed."),
                                QStringLiteral(
                                    "Your unit may be transmitting at an unsupported baud rate."),
                                communicationSettings,
                                QStringLiteral("Try changing baud rates using 'properties' in the "
                                               "Communications menu.")}),
                         QStringLiteral("Baud Rate Error!"), MsgIcon::Exclamation, MsgButtons::OK});
            break;
        case StartupStatus::BaudSkipped:
            boxes_.show(
                {lines({QStringLiteral("The baud rate test was skipped."), communicationSettings}),
                 QStringLiteral("Baud Test Skipped."), MsgIcon::Information, MsgButtons::OK});
            break;
        default:
            break;
    }
}

void StartupReport::openPorts() {
    SerialPort& port = link_.port();
    int firstExisting = 0;
    bool selected = false;
    for (int p = 1; p <= kPortMenuEntries; ++p) {
        const PortStatus& status = state_.portStatus[static_cast<size_t>(p)];
        if (status.modem) {
            menu_.appendToPortEntry(p - 1, QStringLiteral(" - Modem"));
            continue;
        }
        if (!status.opened) {
            menu_.setPortEntryVisible(p - 1, false);
        } else if (firstExisting == 0) {
            firstExisting = p;
        }
        if (!selected && status.traffic) {
            if (port.portOpen()) {
                port.setPortOpen(false);
            }
            port.setCommPort(p);
            port.setPortOpen(true);
            link_.fInit(true);
            ports_.mnuCommPort_Click(p - 1);
            if (state_.calMode != CalMode::Accelerometer) {
                modes_.mnuCalPend_Click();
            } else {
                modes_.mnuCalAccel_Click();
            }
            selected = true;
        }
    }
    if (!selected) {
        if (port.portOpen()) {
            port.setPortOpen(false);
        }
        port.setCommPort(firstExisting);
        port.setPortOpen(true);
        ports_.mnuCommPort_Click(firstExisting - 1);
    }
}

}  // namespace tarquel
