// What the session itself holds: the naming of the identified unit and the end-of-session rule.
#include "support/SessionRig.h"

namespace tarquel {
namespace {

using unitsim::MapFamily;

class UnitSessionTest : public test::SessionRig {
protected:
    UnitSessionTest() { makeUnit(quietUnit()); }
    // Brings the session into the state a row asks for.
    void calibrate() {
        calibration().beginTest();
        ASSERT_TRUE(calibration().testRunning());
        const double points[4][3] = {{300, 0, 0}, {0, -260, 90}, {-200, 0, 180}, {0, 240, 270}};
        for (const auto& p : points) {
            const QString texts[6] = {QString::number(p[0]), QString::number(p[1]),
                                      QStringLiteral("400"), QStringLiteral("0"),
                                      QStringLiteral("0"),   QString::number(p[2])};
            for (int slot = 0; slot < 6; ++slot) {
                session->liveData().display().setDataBoxCaption(slot, texts[slot]);
            }
            calibration().storePoint();
        }
        boxes.queueAnswer(MsgAnswer::Yes);
        calibration().writeCalibration();
        ASSERT_TRUE(calibration().calibrated());
    }
};

TEST_F(UnitSessionTest, TheIdentifiedUnitIsNamedByItsFamilyAndItsTextInPlainLines) {
    for (const auto& [family, summary] :
         {std::pair{MapFamily::B600, "B600 unit: CV-3100 Version 4.20"},
          std::pair{MapFamily::F1600, "1600 unit: CV-3100 Version 5.10 Rev C2"}}) {
        makeUnit(quietUnit(family));
        views.unit.reset();
        ASSERT_TRUE(link().fInit(true));
        ASSERT_TRUE(views.unit.has_value()) << "the front end is told at every identification";
        EXPECT_EQ(views.unit->summary(), QLatin1String(summary));
        EXPECT_FALSE(views.unit->text.contains(QLatin1Char('\r')));
        EXPECT_FALSE(views.unit->text.contains(QChar(0xFF)));
        EXPECT_EQ(views.unit->text.count(QLatin1Char('\n')), 3);
        EXPECT_EQ(session->identifiedUnit().text, views.unit->text);
    }
}

TEST_F(UnitSessionTest, TheEndRestoresTheUnitAndRecalculatesTheChecksumOnlyWhenItIsDue) {
    enum class State { Idle, TestRunning, Calibrated, Aligned, AlignedThenCleared };
    const struct {
        State state;
        bool recalculates;
    } rows[] = {{State::Idle, false},
                {State::TestRunning, false},
                {State::Calibrated, true},
                {State::Aligned, true},
                {State::AlignedThenCleared, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.state));
        newSession();
        makeUnit(quietUnit());
        unit->setFormat(unitsim::OutputFormat::Binary);
        link().setDataFormat(DataFormat::Binary);
        switch (row.state) {
            case State::Idle:
                break;
            case State::TestRunning:
                calibration().beginTest();
                break;
            case State::Calibrated:
                calibrate();
                break;
            case State::Aligned:
            case State::AlignedThenCleared:
                session->liveData().display().setDataBoxCaption(Slot::CalcHeading,
                                                                QStringLiteral("10.0 dg"));
                boxes.queueAnswer(MsgAnswer::Yes);
                ASSERT_EQ(session->northAlignment().alignNorth(), MaintenanceResult::Done);
                if (row.state == State::AlignedThenCleared) {
                    boxes.queueAnswer(MsgAnswer::Yes);
                    ASSERT_EQ(session->clearNorth().removeNorthRotation(), MaintenanceResult::Done);
                }
                break;
        }
        const std::size_t from = system.writes().size();
        EXPECT_EQ(session->end(), row.recalculates);
        const QByteArray sent = commandText(from);
        EXPECT_EQ(sent.endsWith('"'), row.recalculates) << sent.constData();
        EXPECT_EQ(unit->word(0xB608), 0x0A0A) << "the settings words are the unit's own";
        EXPECT_EQ(unit->format(), unitsim::OutputFormat::Binary);
        EXPECT_FALSE(port->portOpen());
        if (row.recalculates) {
            EXPECT_TRUE(unit->checksumValid());
            EXPECT_EQ(progress.messages().back(), QStringLiteral("Recalculating Checksum"));
            EXPECT_FALSE(progress.processWindowVisible());
        }
        EXPECT_FALSE(session->end()) << "the end comes once";
    }
}

}  // namespace
}  // namespace tarquel
