// The two status areas: the information list and its badge, the software flags, the tilt pop-ups.
#include "livedata/StatusMessages.h"
#include "platform/FakeSerialPort.h"
#include "support/RecordingViews.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

constexpr int bits(std::initializer_list<InfoFlag> flags) {
    int word = 0;
    for (const InfoFlag flag : flags) {
        word |= bitOf(flag);
    }
    return word;
}

TEST(ComposeInformation, NumberingOrderLineEndsBadgeAndCaption) {
    const QString frameLength = QStringLiteral(
        ".  A framelength error has been detected. Try switching the calibration mode settings in "
        "the options menu.\r\n");
    const QString noHeaders = QStringLiteral(".  No frame headers received.");
    constexpr DataFormat decimal = DataFormat::Decimal;
    struct Row {
        int flags;
        DataFormat dataFormat;
        QString text;
        int count;
        bool caution, warning;
    };
    const Row rows[] = {
        {0, decimal, QString(), 0, false, false},
        {bits({InfoFlag::FrameLength, InfoFlag::NoHeader}), decimal,
         "1" + frameLength + "2" + noHeaders, 2, false, false},
        {bits({InfoFlag::TiltOver10, InfoFlag::TiltOver45}), decimal,
         QStringLiteral("1.  Warning! Pendulums outside working range. \r\n"), 1, true, true},
        {bits({InfoFlag::TiltOver10, InfoFlag::PressBeginTest}), decimal,
         QStringLiteral("1.  Caution! Unit angle over 10 dg. Cal accuracy degraded.\r\n"
                        "2.  Press the Begin Test button to start a calibration.\r\n"),
         2, true, false},
        {bits({InfoFlag::NoHeader, InfoFlag::UnitCalibrated, InfoFlag::CollectionComplete,
               InfoFlag::PointVehicle}),
         decimal,
         QStringLiteral("1.  Point the vehicle so that the calculated heading reads 0, 90, 180 or "
                        "270.\r\nThen press 'Enter' to collect the calibration data.\r\n"
                        "2.  Data collection complete. Press 'EEPROM' to calibrate the unit.\r\n"
                        "3.  Unit calibrated. Press 'End Test' to reset the unit for normal "
                        "operation.\r\n4") +
             noHeaders,
         4, false, false},
        {bits({InfoFlag::NoHeader}), DataFormat::Binary,
         QStringLiteral("1.  Unit is in Binary Mode. Make sure to verify that the full scale range "
                        "of all data is correct. Select 'Properties' from the Communications "
                        "menu.\r\n"),
         1, false, false},
    };
    for (const Row& r : rows) {
        const InformationText info =
            ComposeInformation(static_cast<quint16>(r.flags), r.dataFormat);
        EXPECT_EQ(info.text, r.text) << r.flags;
        EXPECT_EQ(info.count, r.count) << r.flags;
        EXPECT_EQ(info.caution, r.caution) << r.flags;
        EXPECT_EQ(info.warning, r.warning) << r.flags;
    }
    EXPECT_EQ(InformationCaption(2), QStringLiteral("Transmitted Flags and Information - 2 msg."));
    EXPECT_EQ(InformationCaption(0), QStringLiteral("Transmitted Flags and Information"));
    EXPECT_EQ(SoftwareStatusText(bitOf(SwFlag::Receiving) | bitOf(SwFlag::RoutedToTerminal)),
              QStringLiteral("Receiving Data.\rData routed to terminal display."));
    EXPECT_EQ(SoftwareStatusText(0), QStringLiteral("Not Receiving Data."));
}

class StatusMessagesTest : public testing::Test {
protected:
    VirtualClock clock;
    FakePortSystem system{clock};
    FakeSerialPort port{system};
    ScriptedMessageBoxes boxes;
    UnitLink link{port, clock, boxes};
    MessageFlags flags;
    test::RecordingViews view;
    StatusMessages status{flags, link, view, view};
};

TEST_F(StatusMessagesTest, TheBadgeFollowsTheTiltFlags) {
    flags.SetSWMessage(SwFlag::Receiving);
    flags.SetInfoMessage(InfoFlag::TiltOver10);
    status.UpdateStatusMessages();
    EXPECT_EQ(view.badge, QStringLiteral("CAUTION"));
    EXPECT_EQ(view.badgeColour, (Rgb{255, 255, 0}));
    EXPECT_EQ(view.informationCaption,
              QStringLiteral("Transmitted Flags and Information - 1 msg."));
    flags.SetInfoMessage(InfoFlag::TiltOver45);
    status.UpdateStatusMessages();
    EXPECT_EQ(view.badge, QStringLiteral("WARNING"));
    EXPECT_EQ(view.badgeColour, (Rgb{253, 53, 43}));
    flags.ClearInfoMessage(InfoFlag::TiltOver10);
    flags.ClearInfoMessage(InfoFlag::TiltOver45);
    status.UpdateStatusMessages();
    EXPECT_TRUE(view.badge.isEmpty());
}

TEST_F(StatusMessagesTest, TextsAreRewrittenOnlyWhenTheirFlagWordChanged) {
    status.UpdateStatusMessages();
    EXPECT_EQ(view.softwareInfoWrites, 0);  // no traffic yet: the software area stays empty

    flags.SetSWMessage(SwFlag::Receiving);
    flags.SetInfoMessage(InfoFlag::PressBeginTest);
    status.UpdateStatusMessages();
    const int infoWrites = view.informationWrites;
    flags.SetInfoMessage(InfoFlag::PressBeginTest);  // already set
    status.UpdateStatusMessages();
    EXPECT_EQ(view.informationWrites, infoWrites);
    EXPECT_EQ(view.softwareInfoWrites, 1);
    EXPECT_EQ(view.softwareInfo, QStringLiteral("Receiving Data."));

    // Without data the information list is blanked on every call.
    flags.ClearSWMessage(SwFlag::Receiving);
    status.UpdateStatusMessages();
    status.UpdateStatusMessages();
    EXPECT_EQ(view.softwareInfo, QStringLiteral("Not Receiving Data."));
    EXPECT_EQ(view.softwareInfoWrites, 2);
    EXPECT_EQ(view.information, QString());
    EXPECT_EQ(view.informationWrites, infoWrites + 2);
}

TEST_F(StatusMessagesTest, TiltPopupsAppearOncePerRun) {
    bool shownWhileOpen = true;
    view.whilePopupOpen = [&] { shownWhileOpen = status.tiltCautionShown(); };
    flags.SetInfoMessage(InfoFlag::TiltOver10);
    status.UpdateStatusMessages();
    EXPECT_FALSE(shownWhileOpen);  // set only when the pop-up call returns
    flags.SetInfoMessage(InfoFlag::TiltOver45);
    status.UpdateStatusMessages();
    flags.ClearInfoMessage(InfoFlag::TiltOver10);
    flags.ClearInfoMessage(InfoFlag::TiltOver45);
    status.UpdateStatusMessages();
    flags.SetInfoMessage(InfoFlag::TiltOver10);
    flags.SetInfoMessage(InfoFlag::TiltOver45);
    status.UpdateStatusMessages();

    ASSERT_EQ(view.popups.size(), 2u);
    const auto& [caution, warning] = std::tie(view.popups[0], view.popups[1]);
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
