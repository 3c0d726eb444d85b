// North alignment and the removal of the user corrections through the real main window on
// virtual time, against a simulated unit pointing at a known heading.
#include "AppRig.h"

#include <QAction>
#include <QPushButton>
#include <QTest>
#include <cmath>

namespace tarquel {
namespace {

using test::AppRig;

// The angle from a to b folded into (-180, 180].
double difference(double a, double b) {
    double d = std::fmod(b - a, 360.0);
    if (d > 180) {
        d -= 360;
    } else if (d <= -180) {
        d += 360;
    }
    return d;
}

class MaintenanceWindow : public AppRig {
protected:
    void SetUp() override {
        unitsim::UnitConfig config;
        config.physics.headingDeg = 217;
        unit = &addUnit(1, config);
        ASSERT_TRUE(startApplication());
    }
    void click(const char* name) {
        ASSERT_TRUE(main().button(name)->isEnabled()) << name;
        QTest::mouseClick(main().button(name), Qt::LeftButton);
        clock.runFor(20);
    }
    void alignNorth() {
        click("btnInitialize");
        clock.runFor(3000);  // the display settles on the present heading
        boxes.queueAnswer(MsgAnswer::Yes);
        click("btnAlign");
    }
    unitsim::SimulatedUnit* unit = nullptr;
};

TEST_F(MaintenanceWindow, NorthAlignmentThenItsRemovalThenTheMagneticCalibrationsRemoval) {
    alignNorth();
    ASSERT_EQ(boxes.shown().back().title, QStringLiteral("Write to North Alignment to EEPROM?"));
    EXPECT_LT(std::abs(difference(0, unit->unitHeading())), 0.2);
    EXPECT_TRUE(state().northRotationAdded);
    click("btnNewTest");  // End Test recalculates the checksum
    EXPECT_TRUE(unit->checksumValid());
    EXPECT_FALSE(state().northRotationAdded);

    boxes.queueAnswer(MsgAnswer::Yes);
    main().action("mnuClearNorth")->trigger();
    EXPECT_EQ(boxes.shown().back().title, QStringLiteral("North Rotation Removed."));
    EXPECT_LT(std::abs(difference(217, unit->unitHeading())), 0.2);

    const int words[] = {0xB68C, 0xB69C, 0xB6AC, 0xB68E, 0xB69E, 0xB6AE, 0xB68A};
    for (const int address : words) {
        unit->setWord(address, 0x0123);
    }
    boxes.queueAnswer(MsgAnswer::Yes);
    main().action("mnuClearCal")->trigger();
    EXPECT_EQ(boxes.shown().back().title, QStringLiteral("Magnetic Cal Removed."));
    for (const int address : words) {
        EXPECT_EQ(unit->word(address), 0) << std::hex << address;
    }
    EXPECT_TRUE(unit->checksumValid());
}

TEST_F(MaintenanceWindow, ClosingAfterAnAlignmentInAnUnendedTestRecalculatesTheChecksum) {
    alignNorth();
    ASSERT_FALSE(unit->checksumValid());
    main().close();
    clock.runFor(3000);  // the unit needs two seconds for the recalculation
    EXPECT_TRUE(unit->checksumValid());
}

}  // namespace
}  // namespace tarquel
