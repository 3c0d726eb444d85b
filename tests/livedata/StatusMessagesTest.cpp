#include "LiveFakes.h"
#include "livedata/StatusMessages.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

using test::FakeInfoWindow;
using test::FakeStatusView;

const QString kCaution =
    QStringLiteral("1.  Caution! Unit angle over 10 dg. Cal accuracy degraded.\r\n");
const QString kWarning = QStringLiteral("1.  Warning! Pendulums outside working range. \r\n");
const QString kFrameLength = QStringLiteral(
    ".  A framelength error has been detected. Try switching the calibration mode settings in the "
    "options menu.\r\n");
const QString kNoHeaders = QStringLiteral(".  No frame headers received.");

TEST(ComposeInformation, NumberingOrderAndLineEnds) {
    struct Row {
        int flags;
        int dataFormat;
        QString text;
        int count;
    };
    const Row rows[] = {
        {0, 1, QString(), 0},
        {InfoFlag::FrameLength | InfoFlag::NoHeader, 1,
         QStringLiteral("1") + kFrameLength + QStringLiteral("2") + kNoHeaders, 2},
        {InfoFlag::TiltOver10 | InfoFlag::TiltOver45, 1, kWarning, 1},
        {InfoFlag::TiltOver10 | InfoFlag::PressBeginTest, 1,
         kCaution + QStringLiteral("2.  Press the Begin Test button to start a calibration.\r\n"),
         2},
        {InfoFlag::NoHeader | InfoFlag::UnitCalibrated | InfoFlag::CollectionComplete |
             InfoFlag::PointVehicle,
         1,
         QStringLiteral("1.  Point the vehicle so that the calculated heading reads 0, 90, 180 or "
                        "270.\r\nThen press 'Enter' to collect the calibration data.\r\n"
                        "2.  Data collection complete. Press 'EEPROM' to calibrate the unit.\r\n"
                        "3.  Unit calibrated. Press 'End Test' to reset the unit for normal "
                        "operation.\r\n4") +
             kNoHeaders,
         4},
        {InfoFlag::NoHeader, 2,
         QStringLiteral("1.  Unit is in Binary Mode. Make sure to verify that the full scale range "
                        "of all data is correct. Select 'Properties' from the Communications "
                        "menu.\r\n"),
         1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.flags);
        const InformationText info =
            ComposeInformation(static_cast<quint16>(r.flags), r.dataFormat);
        EXPECT_EQ(info.text, r.text);
        EXPECT_EQ(info.count, r.count);
    }
    EXPECT_EQ(InformationCaption(0), QStringLiteral("Transmitted Flags and Information"));
    EXPECT_EQ(InformationCaption(2), QStringLiteral("Transmitted Flags and Information - 2 msg."));
    EXPECT_EQ(SoftwareStatusText(SwFlag::Receiving | SwFlag::RoutedToTerminal),
              QStringLiteral("Receiving Data.\rData routed to terminal display."));
    EXPECT_EQ(SoftwareStatusText(SwFlag::RoutedToTerminal),
              QStringLiteral("Not Receiving Data.\rData routed to terminal display."));
}

class StatusMessagesTest : public testing::Test {
protected:
    SharedState state;
    FakeStatusView view;
    FakeInfoWindow infoWindow;
    StatusMessages status{state, view, infoWindow};
};

TEST_F(StatusMessagesTest, BadgeAndCaptionFollowTheFlags) {
    state.messages.SetSWMessage(SwFlag::Receiving);
    state.messages.SetInfoMessage(InfoFlag::TiltOver10 | InfoFlag::FrameLength);
    status.UpdateStatusMessages();
    EXPECT_TRUE(view.badgeVisible);
    EXPECT_EQ(view.badgeCaption, QStringLiteral("CAUTION"));
    EXPECT_EQ(view.badgeColour, (Rgb{255, 255, 0}));
    EXPECT_EQ(view.informationCaption,
              QStringLiteral("Transmitted Flags and Information - 2 msg."));

    state.messages.SetInfoMessage(InfoFlag::TiltOver45);
    status.UpdateStatusMessages();
    EXPECT_EQ(view.badgeCaption, QStringLiteral("WARNING"));
    EXPECT_EQ(view.badgeColour, (Rgb{253, 53, 43}));

    state.messages.infoMessageFlags = 0;
    status.UpdateStatusMessages();
    EXPECT_FALSE(view.badgeVisible);
    EXPECT_EQ(view.information, QString());
    EXPECT_EQ(view.informationCaption, QStringLiteral("Transmitted Flags and Information"));
}

TEST_F(StatusMessagesTest, TextsAreRewrittenOnlyWhenTheirFlagWordChanged) {
    status.UpdateStatusMessages();
    EXPECT_EQ(view.softwareInfoWrites, 0);  // no traffic yet: the software area stays empty

    state.messages.SetSWMessage(SwFlag::Receiving);
    state.messages.SetInfoMessage(InfoFlag::PressBeginTest);
    status.UpdateStatusMessages();
    const int infoWrites = view.informationWrites;
    EXPECT_EQ(view.softwareInfo, QStringLiteral("Receiving Data."));
    status.UpdateStatusMessages();
    state.messages.SetInfoMessage(InfoFlag::PressBeginTest);  // already set
    status.UpdateStatusMessages();
    EXPECT_EQ(view.informationWrites, infoWrites);
    EXPECT_EQ(view.softwareInfoWrites, 1);
    EXPECT_EQ(status.lastInfoFlagsShown(), InfoFlag::PressBeginTest);

    // Without data the information list is blanked on every call.
    state.messages.ClearSWMessage(SwFlag::Receiving);
    status.UpdateStatusMessages();
    status.UpdateStatusMessages();
    EXPECT_EQ(view.softwareInfo, QStringLiteral("Not Receiving Data."));
    EXPECT_EQ(view.softwareInfoWrites, 2);
    EXPECT_EQ(view.information, QString());
    EXPECT_EQ(view.informationWrites, infoWrites + 2);
}

TEST_F(StatusMessagesTest, TiltPopupsAppearOncePerRun) {
    state.messages.SetSWMessage(SwFlag::Receiving);
    bool shownFlagWhileOpen = true;
    infoWindow.whileOpen = [&] { shownFlagWhileOpen = status.tiltCautionShown(); };
    state.messages.SetInfoMessage(InfoFlag::TiltOver10);
    status.UpdateStatusMessages();
    ASSERT_EQ(infoWindow.calls.size(), 1u);
    EXPECT_FALSE(shownFlagWhileOpen);  // set only when the pop-up call returns
    EXPECT_TRUE(status.tiltCautionShown());
    const FakeInfoWindow::Call& caution = infoWindow.calls[0];
    EXPECT_EQ(caution.title, QStringLiteral("Unit off level!"));
    EXPECT_EQ(
        caution.message,
        QStringLiteral("Caution! The unit is tilted over 10 degrees from level.\r\nCalibration "
                       "accuracy will be degraded. We recommend that the unit be leveled "
                       "before calibration."));
    EXPECT_EQ(caution.flags, 3);
    EXPECT_EQ(caution.countdownSeconds, 0);
    EXPECT_EQ(caution.modal, 1);

    infoWindow.whileOpen = nullptr;
    state.messages.SetInfoMessage(InfoFlag::TiltOver45);
    status.UpdateStatusMessages();
    ASSERT_EQ(infoWindow.calls.size(), 2u);
    EXPECT_EQ(infoWindow.calls[1].message,
              QStringLiteral("Warning! The unit is tilted over 45 degrees from level.\r\nThe "
                             "pendulums are outside their operating range.  Do not attempt to "
                             "calibrate the unit until it has been leveled."));
    EXPECT_EQ(infoWindow.calls[1].flags, 1);

    state.messages.infoMessageFlags = 0;
    status.UpdateStatusMessages();
    state.messages.SetInfoMessage(InfoFlag::TiltOver10 | InfoFlag::TiltOver45);
    status.UpdateStatusMessages();
    EXPECT_EQ(infoWindow.calls.size(), 2u);
}

}  // namespace
}  // namespace tarquel
