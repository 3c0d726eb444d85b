// tarquel-cli calibrate on virtual time against the in-process simulated unit: the operator's
// lines arrive as time passes, the vehicle is turned in between.
#include "cli/Cli.h"
#include "unitsim/UnitSimFixture.h"

#include <gtest/gtest.h>
#include <cmath>
#include <functional>

namespace tarquel {
namespace {

// Lines that become available at given virtual times, with actions (turning the vehicle) run
// when their time has come.
class TimedLineInput : public LineInput {
public:
    explicit TimedLineInput(VirtualClock& clock) : clock_(clock), start_(clock.tickCount()) {}

    void at(qint64 ms, std::function<void()> action) { events_.push_back({ms, {}, action}); }
    void lineAt(qint64 ms, const QString& line) { events_.push_back({ms, line, {}}); }

    std::optional<QString> takeLine() override {
        while (next_ < events_.size() && clock_.tickCount() - start_ >= events_[next_].ms) {
            const Event& e = events_[next_++];
            if (e.action) {
                e.action();
            } else {
                return e.line;
            }
        }
        return std::nullopt;
    }
    std::optional<QString> waitLine() override {
        while (next_ < events_.size()) {
            const Event& e = events_[next_++];
            if (!e.action) {
                return e.line;
            }
            e.action();
        }
        return std::nullopt;
    }
    bool ended() const override { return next_ >= events_.size(); }

private:
    struct Event {
        qint64 ms;
        QString line;
        std::function<void()> action;
    };
    VirtualClock& clock_;
    qint64 start_;
    std::vector<Event> events_;
    std::size_t next_ = 0;
};

class CliCalibrate : public test::UnitSimFixture {
protected:
    CliCalibrate() : out(&outText), err(&errText) {
        unitsim::UnitConfig config;
        config.physics.hardIronMg = {30, -20, 0};
        config.physics.scaleX = 1.08;
        config.physics.scaleY = 0.93;
        makeUnit(config);
    }
    int run(const QStringList& arguments, LineInput& input) {
        CliRequest request;
        QString error;
        EXPECT_TRUE(parseCliArguments(
            QStringList{QStringLiteral("--device"), QStringLiteral("x")} + arguments, request,
            error))
            << error.toStdString();
        const int code = runCliCommand(request, port, clock, out, err, input);
        out.flush();
        err.flush();
        return code;
    }
    // Turns to each direction and stores a point there once the display has settled.
    void storeFourPoints(TimedLineInput& input) {
        qint64 t = 4000;
        for (const double heading : {0.0, 90.0, 180.0, 270.0}) {
            input.at(t, [this, heading] { unit->setHeading(heading); });
            input.lineAt(t + 12000, QString());
            t += 13000;
        }
    }
    double worstHeadingError() {
        double worst = 0;
        for (int heading = 0; heading < 360; heading += 45) {
            unit->setHeading(heading);
            worst = std::max(worst, std::abs(unit->headingError()));
        }
        return worst;
    }

    QString outText;
    QString errText;
    QTextStream out;
    QTextStream err;
};

TEST_F(CliCalibrate, FourPointsWrittenWithYesThenTheTestEnds) {
    TimedLineInput input(clock);
    storeFourPoints(input);
    EXPECT_EQ(run({QStringLiteral("--yes"), QStringLiteral("calibrate")}, input), CliExit::Ok);
    EXPECT_TRUE(outText.contains(QStringLiteral("Heading 003.8 dg, stored: - - - -")))
        << outText.toStdString();
    EXPECT_TRUE(outText.contains(QStringLiteral(", stored: 0 90 180 -")));
    EXPECT_TRUE(outText.contains(QStringLiteral("Stored 270: heading 278")));
    EXPECT_TRUE(outText.contains(QStringLiteral("X Bias      -30.0   FEB8")));
    EXPECT_TRUE(outText.contains(QStringLiteral("Calc Error 5.79 dg.  Cal recommended")));
    EXPECT_TRUE(outText.contains(
        QStringLiteral("Are you sure you want to write these values to EEPROM?\n[y/N] y (--yes)")));
    EXPECT_TRUE(errText.contains(QStringLiteral("Recalculating Checksum ...")));
    EXPECT_EQ(unit->word(0xB608), 0x0A0A);
    EXPECT_TRUE(unit->checksumValid());
    EXPECT_LT(worstHeadingError(), 0.5);
}

TEST_F(CliCalibrate, EndingEarlyOrDecliningWritesNothing) {
    for (const bool answerNo : {false, true}) {
        makeUnit({});
        TimedLineInput input(clock);
        if (answerNo) {
            storeFourPoints(input);
            input.lineAt(60000, QStringLiteral("n"));
        } else {
            input.lineAt(3000, QString());
            input.lineAt(4000, QStringLiteral("q"));
        }
        EXPECT_EQ(run({QStringLiteral("calibrate")}, input), CliExit::Ok);
        EXPECT_EQ(unit->word(0xB68C), 0) << answerNo;
        EXPECT_EQ(unit->word(0xB608), 0x0A0A) << answerNo;
        EXPECT_TRUE(outText.contains(QStringLiteral("Test ended")));
    }
}

TEST_F(CliCalibrate, ASilentUnitCannotBeginAndAnUnstorableBiasHasNoSolution) {
    unit->setFault(unitsim::Fault::NoReadAnswer);
    ScriptedLineInput none;
    EXPECT_EQ(run({QStringLiteral("calibrate")}, none), CliExit::TestNotBegun);

    // Hard iron far beyond what a bias word holds, with a field large enough that the four
    // directions still fall in their four sectors.
    unitsim::UnitConfig config;
    config.physics.hardIronMg = {3100, 0, 0};
    config.physics.scaleX = 14;
    config.physics.scaleY = 14;
    makeUnit(config);
    TimedLineInput input(clock);
    storeFourPoints(input);
    EXPECT_EQ(run({QStringLiteral("--yes"), QStringLiteral("calibrate")}, input),
              CliExit::NoSolution);
    EXPECT_TRUE(errText.contains(
        QStringLiteral("Calibration Error!: The X bias is too large to be stored in the unit.")))
        << errText.toStdString();
    EXPECT_EQ(unit->word(0xB68C), 0);
    EXPECT_EQ(unit->word(0xB608), 0x0A0A);
}

}  // namespace
}  // namespace tarquel
