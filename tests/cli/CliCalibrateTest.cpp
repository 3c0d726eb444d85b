// tarquel-cli calibrate on virtual time against the in-process simulated unit: the operator's
// lines arrive as time passes, the vehicle is turned in between.
#include "CliRig.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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

class CliCalibrate : public test::CliRig {
protected:
    CliCalibrate() {
        unitsim::UnitConfig config;
        config.physics.hardIronMg = {30, -20, 0};
        config.physics.scaleX = 1.08;
        config.physics.scaleY = 0.93;
        makeUnit(config);
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
};

TEST_F(CliCalibrate, FourPointsWrittenWithYesThenTheTestEnds) {
    TimedLineInput input(clock);
    storeFourPoints(input);
    const QString report = dataDir.filePath(QStringLiteral("report.pdf"));
    EXPECT_EQ(run(QStringLiteral("--yes --report ") + report + QStringLiteral(" calibrate"), input),
              CliExit::Ok);
    // What the operator reads, without the status lines of each second.
    QStringList transcript;
    for (const QString& printed : outText.split(QLatin1Char('\n'))) {
        if (!printed.startsWith(QStringLiteral("Heading "))) {
            transcript << printed;
        }
    }
    EXPECT_EQ(
        transcript.mid(0, 1),
        QStringList{QStringLiteral(
            "Test begun. Point the vehicle so that the heading reads 0, 90, 180 or 270 and press "
            "Enter to store a point; c clears the points, q ends the test.")});
    EXPECT_TRUE(transcript.contains(QStringLiteral("Stored 270: heading 278, Hx 30, Hy 213")))
        << outText.toStdString();
    EXPECT_TRUE(transcript.contains(QStringLiteral("X Bias      -30.0   FEB8")));
    EXPECT_TRUE(transcript.contains(QStringLiteral("Calc Error 5.79 dg.  Cal recommended")));
    EXPECT_TRUE(transcript.contains(QStringLiteral("[y/N] y (--yes)")));
    EXPECT_EQ(transcript.mid(transcript.size() - 3),
              (QStringList{QStringLiteral("Test ended: settings, channels and format restored, "
                                          "checksum recalculated."),
                           QStringLiteral("Report written: ") + report, QString()}));
    QFile pdf(report);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF-"));
    EXPECT_TRUE(outText.contains(QStringLiteral(", stored: 0 90 180 -, Steady\n")));
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
        EXPECT_EQ(run(QStringLiteral("calibrate"), input), CliExit::Ok);
        EXPECT_EQ(unit->word(0xB68C), 0) << answerNo;
        EXPECT_EQ(unit->word(0xB608), 0x0A0A) << answerNo;
        EXPECT_TRUE(
            outText.endsWith(QStringLiteral("Test ended: settings, channels and format "
                                            "restored, checksum recalculated.\n")));
    }
}

TEST_F(CliCalibrate, ASilentUnitCannotBeginAndAnUnstorableBiasHasNoSolution) {
    unit->setFault(unitsim::Fault::NoReadAnswer);
    EXPECT_EQ(run(QStringLiteral("calibrate")), CliExit::TestNotBegun);
    EXPECT_TRUE(
        errText.endsWith(QStringLiteral("tarquel-cli: the calibration test could not begin\n")));

    // Hard iron far beyond what a bias word holds, with a field large enough that the four
    // directions still fall in their four sectors.
    unitsim::UnitConfig config;
    config.physics.hardIronMg = {3100, 0, 0};
    config.physics.scaleX = 14;
    config.physics.scaleY = 14;
    makeUnit(config);
    TimedLineInput input(clock);
    storeFourPoints(input);
    EXPECT_EQ(run(QStringLiteral("--yes calibrate"), input), CliExit::NoSolution);
    EXPECT_TRUE(errText.contains(
        QStringLiteral("Calibration Error!: The X bias is too large to be stored in the unit.")))
        << errText.toStdString();
    EXPECT_EQ(unit->word(0xB68C), 0);
    EXPECT_EQ(unit->word(0xB608), 0x0A0A);
}

TEST_F(CliCalibrate, HandsFreeAtEightFramesASecondEachPointIsStoredOnceSteadyInItsWindow) {
    unitsim::UnitConfig config;
    config.physics.hardIronMg = {30, -20, 0};
    config.physics.scaleX = 1.08;
    config.frameRate = 8;
    makeUnit(config);
    unit->setHeading(3);
    TimedLineInput input(clock);
    qint64 t = 30000;
    for (const double heading : {92.0, 181.0, 268.0}) {
        input.at(t, [this, heading] { unit->setHeading(heading); });
        t += 30000;
    }
    EXPECT_EQ(run(QStringLiteral("--yes --auto calibrate --json"), input), CliExit::Ok);
    // With --json the lines for people go to the error stream.
    for (const char* stored : {"Stored 0:", "Stored 90:", "Stored 180:", "Stored 270:"}) {
        EXPECT_EQ(errText.count(QLatin1String(stored)), 1) << stored;
    }
    EXPECT_TRUE(errText.contains(QStringLiteral(", stored: - - - -, Settling\n")));
    EXPECT_TRUE(errText.contains(QStringLiteral(", stored: 0 90 - -, Steady\n")));
    const QJsonObject result = QJsonDocument::fromJson(outText.toUtf8()).object();
    EXPECT_EQ(result[QStringLiteral("result")], QStringLiteral("verified"));
    EXPECT_EQ(result[QStringLiteral("points")].toArray().size(), 4);
    EXPECT_EQ(result[QStringLiteral("words")][QStringLiteral("xBias")][QStringLiteral("after")],
              hex(unit->word(0xB68C)));
    EXPECT_LT(worstHeadingError(), 0.5);
}

}  // namespace
}  // namespace tarquel
