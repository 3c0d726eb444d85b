#include "LiveFakes.h"
#include "livedata/StatusMessages.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

TEST(ComposeInformation, NumberingOrderAndLineEnds) {
    const QString frameLength = QStringLiteral(
        ".  A framelength error has been detected. Try switching the calibration mode settings in "
        "the options menu.\r\n");
    const QString noHeaders = QStringLiteral(".  No frame headers received.");
    struct Row {
        int flags, dataFormat;
        QString text;
        int count;
    };
    const Row rows[] = {
        {0, 1, QString(), 0},
        {InfoFlag::FrameLength | InfoFlag::NoHeader, 1, "1" + frameLength + "2" + noHeaders, 2},
        {InfoFlag::TiltOver10 | InfoFlag::TiltOver45, 1,
         QStringLiteral("1.  Warning! Pendulums outside working range. \r\n"), 1},
        {InfoFlag::TiltOver10 | InfoFlag::PressBeginTest, 1,
         QStringLiteral("1.  Caution! Unit angle over 10 dg. Cal accuracy degraded.\r\n"
                        "2.  Press the Begin Test button to start a calibration.\r\n"),
         2},
        {InfoFlag::NoHeader | InfoFlag::UnitCalibrated | InfoFlag::CollectionComplete |
             InfoFlag::PointVehicle,
         1,
         QStringLiteral("1.  Point the vehicle so that the calculated heading reads 0, 90, 180 or "
                        "270.\r\nThen press 'Enter' to collect the calibration data.\r\n"
                        "2.  Data collection complete. Press 'EEPROM' to calibrate the unit.\r\n"
                        "3.  Unit calibrated. Press 'End Test' to reset the unit for normal "
                        "operation.\r\n4") +
             noHeaders,
         4},
        {InfoFlag::NoHeader, 2,
         QStringLiteral("1.  Unit is in Binary Mode. Make sure to verify that the full scale range "
                        "of all data is correct. Select 'Properties' from the Communications "
                        "menu.\r\n"),
         1},
    };
    for (const Row& r : rows) {
        const InformationText info =
            ComposeInformation(static_cast<quint16>(r.flags), r.dataFormat);
        EXPECT_EQ(info.text, r.text) << r.flags;
        EXPECT_EQ(info.count, r.count) << r.flags;
    }
    EXPECT_EQ(SoftwareStatusText(SwFlag::Receiving | SwFlag::RoutedToTerminal),
              QStringLiteral("Receiving Data.\rData routed to terminal display."));
    EXPECT_EQ(SoftwareStatusText(0), QStringLiteral("Not Receiving Data."));
}

class StatusMessagesTest : public testing::Test {
protected:
    SharedState state;
    test::FakeLiveView view;
    test::FakeInfoWindow infoWindow;
    StatusMessages status{state, view, infoWindow};
};

TEST_F(StatusMessagesTest, BadgeAndCaptionFollowTheFlags) {
    state.messages.SetSWMessage(SwFlag::Receiving);
    state.messages.SetInfoMessage(InfoFlag::TiltOver10 | InfoFlag::FrameLength);
    status.UpdateStatusMessages();
    EXPECT_EQ(view.badge, QStringLiteral("CAUTION"));
    EXPECT_EQ(view.badgeColour, (Rgb{255, 255, 0}));
    EXPECT_EQ(view.informationCaption,
              QStringLiteral("Transmitted Flags and Information - 2 msg."));

    state.messages.SetInfoMessage(InfoFlag::TiltOver45);
    status.UpdateStatusMessages();
    EXPECT_EQ(view.badge, QStringLiteral("WARNING"));
    EXPECT_EQ(view.badgeColour, (Rgb{253, 53, 43}));

    state.messages.infoMessageFlags = 0;
    status.UpdateStatusMessages();
    EXPECT_TRUE(view.badge.isEmpty());
    EXPECT_EQ(view.informationCaption, QStringLiteral("Transmitted Flags and Information"));
}

TEST_F(StatusMessagesTest, TextsAreRewrittenOnlyWhenTheirFlagWordChanged) {
    status.UpdateStatusMessages();
    EXPECT_EQ(view.softwareInfoWrites, 0);  // no traffic yet: the software area stays empty

    state.messages.SetSWMessage(SwFlag::Receiving);
    state.messages.SetInfoMessage(InfoFlag::PressBeginTest);
    status.UpdateStatusMessages();
    const int infoWrites = view.informationWrites;
    state.messages.SetInfoMessage(InfoFlag::PressBeginTest);  // already set
    status.UpdateStatusMessages();
    EXPECT_EQ(view.informationWrites, infoWrites);
    EXPECT_EQ(view.softwareInfoWrites, 1);
    EXPECT_EQ(view.softwareInfo, QStringLiteral("Receiving Data."));

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
    bool shownWhileOpen = true;
    infoWindow.whileOpen = [&] { shownWhileOpen = status.tiltCautionShown(); };
    state.messages.SetInfoMessage(InfoFlag::TiltOver10);
    status.UpdateStatusMessages();
    EXPECT_FALSE(shownWhileOpen);  // set only when the pop-up call returns
    state.messages.SetInfoMessage(InfoFlag::TiltOver45);
    status.UpdateStatusMessages();
    state.messages.infoMessageFlags = 0;
    status.UpdateStatusMessages();
    state.messages.SetInfoMessage(InfoFlag::TiltOver10 | InfoFlag::TiltOver45);
    status.UpdateStatusMessages();

    ASSERT_EQ(infoWindow.calls.size(), 2u);
    const auto& [caution, warning] = std::tie(infoWindow.calls[0], infoWindow.calls[1]);
    EXPECT_EQ(caution.title, QStringLiteral("Unit off level!"));
    EXPECT_EQ(
        caution.message,
        QStringLiteral("Caution! The unit is tilted over 10 degrees from level.\r\nCalibration "
                       "accuracy will be degraded. We recommend that the unit be leveled "
                       "before calibration."));
    EXPECT_EQ(std::tie(caution.flags, caution.countdownSeconds, caution.modal),
              std::make_tuple(3, 0, 1));
    EXPECT_EQ(warning.title, QStringLiteral("Unit off level!"));
    EXPECT_EQ(warning.message,
              QStringLiteral("Warning! The unit is tilted over 45 degrees from level.\r\nThe "
                             "pendulums are outside their operating range.  Do not attempt to "
                             "calibrate the unit until it has been leveled."));
    EXPECT_EQ(warning.flags, 1);
}

}  // namespace
}  // namespace tarquel
