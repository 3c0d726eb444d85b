// Port selection and the serial settings on the main port, against simulated units.
#include "platform/Errors.h"
#include "support/RecordingViews.h"
#include "support/SimRig.h"
#include "unitlink/PortSelection.h"

namespace tarquel {
namespace {

class PortSelectionTest : public test::SimRig {
protected:
    PortSelectionTest() {
        unit->setWord(0x0000, 0xFFFF);
        unitOn3.setWord(0x0000, 0x4C03);
        system.addPort(3, &unitOn3);
    }
    unitsim::SimulatedUnit unitOn3{quietUnit()};
    test::RecordingViews views;
    PortSelection ports{link, boxes, views};
};

TEST_F(PortSelectionTest, ASelectedPortOpensAndClearsItsUnitsConfigBitsOrGivesThePortError) {
    ports.selectPort(2);
    EXPECT_EQ(views.portCaption, QStringLiteral("Comm 3"));
    EXPECT_EQ(views.portChecked.size(), 20u) << "every entry is set";
    // Bits 4000 and 0800 of the first configuration word go; the rest stays.
    EXPECT_EQ(unitOn3.word(0x0000), 0x4C03 & 0xB7FF);
    EXPECT_EQ(unit->word(0x0000), 0xFFFF) << "the unit on the other port is untouched";

    // A port that cannot be opened: the port error, and the port in use before returns.
    system.setOpenFails(1, true);
    ports.selectPort(0);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Port Error!"));
    EXPECT_EQ(boxes.shown()[0].prompt,
              QStringLiteral("An error has ocurred while attempting to access the port "
                             "selected.\r\nPlease check port status to verify this port is still "
                             "valid."));
    EXPECT_EQ(port.commPort(), 3);
    EXPECT_TRUE(port.portOpen());
    EXPECT_TRUE(views.portChecked[2]);
    EXPECT_FALSE(views.portChecked[0]);
}

TEST_F(PortSelectionTest, ANewBaudRateReopensThePortAndPutsTheUnitInDecimalOutput) {
    link.setDataFormat(DataFormat::Binary);
    ports.applyBaudRate(QStringLiteral("19200"));
    EXPECT_EQ(port.settings(), QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(views.settingsCaption, QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(views.formatCaption, QStringLiteral("Decimal"));
    EXPECT_EQ(link.dataFormat(), DataFormat::Decimal);
    EXPECT_EQ(system.bytesWritten(1), QByteArray("_"));
    EXPECT_EQ(ports.currentBaud(), QStringLiteral("19200"));

    // A rate the port refuses gives the error and the previous rate again.
    port.injectError(FakeSerialPort::Operation::Settings, ErrorNumber::SettingsNotApplied);
    ports.applyBaudRate(QStringLiteral("38400"));
    EXPECT_EQ(boxTitles(), QStringList{QStringLiteral("Port Error!")});
    EXPECT_EQ(port.settings(), QStringLiteral("19200,n,8,1"));
    EXPECT_TRUE(port.portOpen());
}

}  // namespace
}  // namespace tarquel
