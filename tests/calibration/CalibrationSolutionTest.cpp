// The bias and gain solution, its words for both map families, the quality figure and the slot
// rule of Enter Data.
#include "calibration/CalibrationSolution.h"

#include <gtest/gtest.h>
#include <cmath>

namespace tarquel {
namespace {

// Points from the four field readings that matter: point0.Hx, point180.Hx, point90.Hy,
// point270.Hy.
std::array<PointRecord, 4> points(double hx0, double hx180, double hy90, double hy270) {
    std::array<PointRecord, 4> p{};
    p[CalSlot::North].Hx = hx0;
    p[CalSlot::South].Hx = hx180;
    p[CalSlot::East].Hy = hy90;
    p[CalSlot::West].Hy = hy270;
    // Values the solution must ignore.
    p[CalSlot::North].Hy = 17;
    p[CalSlot::East].Hx = -23;
    return p;
}

TEST(SolveBiasAndGain, WorkedExamplesGiveTheirColumnsAndWords) {
    struct Row {
        double hx0, hx180, hy90, hy270;
        bool is1600;
        const char *xBias, *yBias, *xGain, *yGain;
        const char *xBiasWord, *yBiasWord, *xGainWord, *yGainWord;
    };
    const Row rows[] = {
        // xBias -50, yBias 10, both ranges 250: gains 0.
        {300, -200, -260, 240, false, "-50.0", "10.0", "0.0%", "0.0%", "FDDD", "006D", "0000",
         "0000"},
        // The same X bias in the 1600 family: -1092.27 floors to -1093.
        {300, -200, -260, 240, true, "-50.0", "10.0", "0.0%", "0.0%", "FBBB", "00DA", "0000",
         "0000"},
        // xRange 260, yRange 240: gains -4.0% and 4.0%, words FAE1 and 051E.
        {260, -260, -240, 240, false, "0.0", "0.0", "-4.0%", "4.0%", "0000", "0000", "FAE1",
         "051E"},
        // 1600 gains are scaled by 327.68 / 2.
        {260, -260, -240, 240, true, "0.0", "0.0", "-4.0%", "4.0%", "0000", "0000", "FD70", "028F"},
        // One decimal, rounded half away from zero.
        {250.5, -250, -250, 250, false, "-0.3", "0.0", "-0.0%", "0.0%", "FFFD", "0000", "FFEF",
         "0010"},
    };
    for (const Row& row : rows) {
        const SolveOutcome outcome =
            SolveBiasAndGain(points(row.hx0, row.hx180, row.hy90, row.hy270), row.is1600);
        SCOPED_TRACE(testing::Message() << row.hx0 << " " << row.hx180 << " " << row.is1600);
        ASSERT_TRUE(outcome.solved) << outcome.cause.toStdString();
        const CalibrationResult& r = outcome.result;
        EXPECT_EQ(r.xBiasText, QLatin1String(row.xBias));
        EXPECT_EQ(r.yBiasText, QLatin1String(row.yBias));
        EXPECT_EQ(r.xGainText, QLatin1String(row.xGain));
        EXPECT_EQ(r.yGainText, QLatin1String(row.yGain));
        EXPECT_EQ(r.xBiasWord, QLatin1String(row.xBiasWord));
        EXPECT_EQ(r.yBiasWord, QLatin1String(row.yBiasWord));
        EXPECT_EQ(r.xGainWord, QLatin1String(row.xGainWord));
        EXPECT_EQ(r.yGainWord, QLatin1String(row.yGainWord));
    }
}

TEST(SolveBiasAndGain, QualityFigureAndItsInclusiveThreshold) {
    // xBias -50, yBias 10, fieldMean 250: offset sqrt(1300), 8.21 degrees.
    const CalibrationResult big = SolveBiasAndGain(points(300, -200, -260, 240), false).result;
    EXPECT_NEAR(big.calError, 8.2066, 1e-3);
    EXPECT_EQ(big.calQualText, QStringLiteral("8.21 dg."));
    EXPECT_EQ(big.calMsgText, QStringLiteral("Cal recommended"));
    EXPECT_EQ(big.faceImage, 2);

    const CalibrationResult none = SolveBiasAndGain(points(250, -250, -250, 250), false).result;
    EXPECT_EQ(none.calQualText, QStringLiteral("0 dg."));
    EXPECT_EQ(none.calMsgText, QStringLiteral("No cal necessary"));
    EXPECT_EQ(none.faceImage, 1);

    // A bias of fieldMean * tan(1 degree) on both axes is a one-degree error; the threshold is
    // inclusive.
    const double bias = 250 * std::tan(1.0 * 3.14159265 / 180);
    EXPECT_NEAR(SolveBiasAndGain(points(250 - bias, -250 - bias, -250 - bias, 250 - bias), false)
                    .result.calError,
                1.0, 1e-9);
    EXPECT_TRUE(CalRecommended(1.0));
    EXPECT_FALSE(CalRecommended(0.9999));

    struct Row {
        double error;
        const char* text;
    };
    for (const Row& row : {Row{0.5749, "0.57 dg."}, Row{2.0, "2 dg."}, Row{0.125, "0.12 dg."},
                           Row{0.375, "0.38 dg."}, Row{12.5, "12.5 dg."}}) {
        EXPECT_EQ(CalQualityText(row.error), QLatin1String(row.text)) << row.error;
    }
}

TEST(SolveBiasAndGain, PointSetsWithoutASolutionSayWhy) {
    struct Row {
        std::array<PointRecord, 4> p;
        const char* cause;
    };
    const Row rows[] = {
        {points(100, 100, 50, 50), "The X and Y ranges are zero: the four points are identical."},
        {points(300, 100, 100, -100), "The X and Y ranges cancel out"},
        {points(3500, 3000, -250, 250), "The X bias is too large to be stored in the unit."},
        {points(250, -250, -3250, -2750), "The Y bias is too large to be stored in the unit."},
        {points(500, -500, 100, -100), "The X gain is too large to be stored in the unit."},
    };
    for (const Row& row : rows) {
        const SolveOutcome outcome = SolveBiasAndGain(row.p, false);
        EXPECT_FALSE(outcome.solved) << row.cause;
        EXPECT_TRUE(outcome.cause.startsWith(QLatin1String(row.cause)))
            << outcome.cause.toStdString();
    }
    // The 1600 family holds half the bias range of the B600 family.
    EXPECT_TRUE(SolveBiasAndGain(points(2100, 1100, -250, 250), false).solved);
    EXPECT_FALSE(SolveBiasAndGain(points(2100, 1100, -250, 250), true).solved);
}

TEST(SlotForHeading, BoundariesBelongToTheLowerSlot) {
    struct Row {
        double heading;
        int slot;
    };
    for (const Row& row :
         {Row{45, CalSlot::East}, Row{135, CalSlot::East}, Row{135.1, CalSlot::South},
          Row{225, CalSlot::South}, Row{315, CalSlot::West}, Row{44.9, CalSlot::North},
          Row{315.1, CalSlot::North}, Row{0, CalSlot::North}, Row{360, CalSlot::North}}) {
        EXPECT_EQ(SlotForHeading(row.heading), row.slot) << row.heading;
    }
}

}  // namespace
}  // namespace tarquel
