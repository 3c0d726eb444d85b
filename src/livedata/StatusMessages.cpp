#include "livedata/StatusMessages.h"

#include "platform/LineEnds.h"

namespace tarquel {

namespace {

const QString kInformationCaption = QStringLiteral("Transmitted Flags and Information");
const QString kTiltTitle = QStringLiteral("Unit off level!");

constexpr int kPopupExclamationOk = 3;
constexpr int kPopupStopOk = 1;
constexpr int kModal = 1;

constexpr Rgb kCautionColour{255, 255, 0};
constexpr Rgb kWarningColour{253, 53, 43};

struct Line {
    InfoFlag bit;
    const char* text;
};

// The lines after line 1, in display order; bit 32 is handled on its own.
constexpr Line kFurtherLines[] = {
    {InfoFlag::PressBeginTest, ".  Press the Begin Test button to start a calibration."},
    {InfoFlag::FrameLength,
     ".  A framelength error has been detected. Try switching the calibration mode settings in "
     "the options menu."},
    {InfoFlag::PointVehicle,
     ".  Point the vehicle so that the calculated heading reads 0, 90, 180 or 270.\r\n"
     "Then press 'Enter' to collect the calibration data."},
    {InfoFlag::CollectionComplete,
     ".  Data collection complete. Press 'EEPROM' to calibrate the unit."},
    {InfoFlag::UnitCalibrated,
     ".  Unit calibrated. Press 'End Test' to reset the unit for normal operation."},
};

}  // namespace

InformationText ComposeInformation(quint16 flags, DataFormat dataFormat) {
    InformationText info;
    if ((flags & bitOf(InfoFlag::TiltOver10)) != 0) {
        info.count = 1;
        info.text =
            QStringLiteral("1.  Caution! Unit angle over 10 dg. Cal accuracy degraded.") + kCrLf;
        info.caution = true;
    }
    if ((flags & bitOf(InfoFlag::TiltOver45)) != 0) {
        info.count = 1;
        info.text = QStringLiteral("1.  Warning! Pendulums outside working range. ") + kCrLf;
        info.warning = true;
    }
    for (const Line& line : kFurtherLines) {
        if ((flags & bitOf(line.bit)) != 0) {
            ++info.count;
            info.text += QString::number(info.count) + QLatin1String(line.text) + kCrLf;
        }
    }
    if ((flags & bitOf(InfoFlag::NoHeader)) != 0) {
        ++info.count;
        info.text += QString::number(info.count);
        if (dataFormat == DataFormat::Binary) {
            info.text += QStringLiteral(
                             ".  Unit is in Binary Mode. Make sure to verify that the full scale "
                             "range of all data is correct. Select 'Properties' from the "
                             "Communications menu.") +
                         kCrLf;
        } else {
            info.text += QStringLiteral(".  No frame headers received.");
        }
    }
    return info;
}

QString SoftwareStatusText(quint16 swFlags) {
    QString text = (swFlags & bitOf(SwFlag::Receiving)) != 0
                       ? QStringLiteral("Receiving Data.")
                       : QStringLiteral("Not Receiving Data.");
    if ((swFlags & bitOf(SwFlag::RoutedToTerminal)) != 0) {
        text += QLatin1Char('\r') + QStringLiteral("Data routed to terminal display.");
    }
    return text;
}

QString InformationCaption(int count) {
    if (count > 0) {
        return kInformationCaption + QStringLiteral(" - ") + QString::number(count) +
               QStringLiteral(" msg.");
    }
    return kInformationCaption;
}

StatusMessages::StatusMessages(const MessageFlags& flags, const UnitLink& link, StatusView& view,
                               TiltPopupWindow& infoWindow)
    : flags_(flags), link_(link), view_(view), infoWindow_(infoWindow) {}

void StatusMessages::showTiltPopups() {
    const MessageFlags& messages = flags_;
    if (messages.info(InfoFlag::TiltOver10) && !tiltCautionShown_) {
        infoWindow_.OpenInfoWindow(
            QStringLiteral("Caution! The unit is tilted over 10 degrees from level.") + kCrLf +
                QStringLiteral("Calibration accuracy will be degraded. We recommend that the unit "
                               "be leveled before calibration."),
            kTiltTitle, kPopupExclamationOk, 0, kModal);
        tiltCautionShown_ = true;
    }
    if (messages.info(InfoFlag::TiltOver45) && !tiltWarningShown_) {
        infoWindow_.OpenInfoWindow(
            QStringLiteral("Warning! The unit is tilted over 45 degrees from level.") + kCrLf +
                QStringLiteral("The pendulums are outside their operating range.  Do not attempt "
                               "to calibrate the unit until it has been leveled."),
            kTiltTitle, kPopupStopOk, 0, kModal);
        tiltWarningShown_ = true;
    }
}

void StatusMessages::UpdateStatusMessages() {
    // The pop-ups are modal: events handled while one is open may change the flags, so the texts
    // are composed from the flags as they are once it has closed.
    showTiltPopups();

    const quint16 infoFlags = flags_.infoMessageFlags();
    if (infoFlags != lastInfoFlagsShown_) {
        const InformationText info = ComposeInformation(infoFlags, link_.dataFormat());
        view_.setInformationText(info.text);
        if (info.warning) {
            view_.showCautionBadge(QStringLiteral("WARNING"), kWarningColour);
        } else if (info.caution) {
            view_.showCautionBadge(QStringLiteral("CAUTION"), kCautionColour);
        } else {
            view_.hideCautionBadge();
        }
        view_.setInformationCaption(InformationCaption(info.count));
    }
    lastInfoFlagsShown_ = infoFlags;

    const quint16 swFlags = flags_.swMessageFlags();
    if ((swFlags & bitOf(SwFlag::Receiving)) == 0) {
        // Without data the information list is blanked on every call.
        view_.setInformationText(QString());
        view_.setInformationCaption(kInformationCaption);
    }
    if (swFlags != lastSWFlagsShown_) {
        view_.setSoftwareInfo(SoftwareStatusText(swFlags));
    }
    lastSWFlagsShown_ = swFlags;
}

}  // namespace tarquel
