#include "app/startup/StartupReport.h"

#include "platform/Errors.h"

#include <QStringList>

namespace tarquel {

namespace {
// The lines of a start-up box, joined by CR.
QString lines(const QStringList& parts) {
    return parts.join(QLatin1Char('\r'));
}
}  // namespace

StartupReport::StartupReport(const StartupResult& result, UnitSession& session, MessageBoxes& boxes,
                             CommView& comm, PortMenuView& menu)
    : result_(result), session_(session), boxes_(boxes), comm_(comm), menu_(menu) {}

void StartupReport::run() {
    try {
        reportOutcome();
        if (result_.startupStatus == StartupStatus::NoPorts) {
            for (int i = 0; i < kPortMenuEntries; ++i) {
                menu_.setPortEntryVisible(i, false);
            }
            return;
        }
        SerialPort& port = session_.MSComm1();
        if (result_.detectedBaud != 0) {
            if (port.portOpen()) {
                port.setPortOpen(false);
            }
            port.setSettings(QString::number(result_.detectedBaud) + QStringLiteral(",n,8,1"));
        }
        comm_.setSettingsCaption(port.settings());
        const bool binary = result_.detectedFormat == DataFormat::Binary;
        comm_.setFormatCaption(binary ? QStringLiteral("Binary") : QStringLiteral("Decimal"));
        session_.link().setDataFormat(binary ? DataFormat::Binary : DataFormat::Decimal);
        openPorts();
    } catch (const RuntimeError& error) {
        boxes_.show({programErrorText(error, QStringLiteral("frmMain.Load")),
                     QStringLiteral("Program Error!"), MsgIcon::Critical, MsgButtons::OK});
    }
}

void StartupReport::reportOutcome() {
    const QString communicationSettings =
        QStringLiteral("Communication settings will set to system defaults.");
    switch (result_.startupStatus) {
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
    SerialPort& port = session_.MSComm1();
    int firstExisting = 0;
    bool selected = false;
    for (int p = 1; p <= kPortMenuEntries; ++p) {
        const PortStatus& status = result_.portStatus[static_cast<size_t>(p)];
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
            session_.link().fInit(true);
            session_.ports().selectPort(p - 1);
            // The unit of this port gets the channels of the calibration mode (accelerometer at
            // start-up).
            session_.calModes().selectCalMode(session_.calModes().calMode());
            selected = true;
        }
    }
    if (!selected) {
        if (port.portOpen()) {
            port.setPortOpen(false);
        }
        port.setCommPort(firstExisting);
        port.setPortOpen(true);
        session_.ports().selectPort(firstExisting - 1);
    }
}

}  // namespace tarquel
