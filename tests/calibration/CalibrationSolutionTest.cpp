// The bias and gain solution, its words for both map families, the quality figure and the slot
// rule of Enter Data.
#include "calibration/CalibrationSolution.h"

#include <gtest/gtest.h>
#include <QStringList>
#include <tuple>

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

TEST(SolveBiasAndGain, WorkedExamplesGiveTheirColumnsWordsAndQuality) {
    // The readings and the family; the biases, gains, their words, quality, message and face.
    const std::tuple<std::array<PointRecord, 4>, bool, const char*> rows[] = {
        // xBias -50, yBias 10, xRange 260, yRange 240: gains -4.0% and 4.0%; the offset
        // sqrt(1300) against a mean field of 250 is 8.21 degrees.
        {points(310, -210, -250, 230), false,
         "-50.0 10.0 -4.0% 4.0% FDDD 006D FAE1 051E 8.21 dg. Cal recommended 2"},
        // The 1600 family: -1092.27 floors to -1093; gains are scaled by 327.68 / 2.
        {points(310, -210, -250, 230), true,
         "-50.0 10.0 -4.0% 4.0% FBBB 00DA FD70 028F 8.21 dg. Cal recommended 2"},
        // One decimal, rounded half away from zero.
        {points(250.5, -250, -250, 250), false,
         "-0.3 0.0 -0.0% 0.0% FFFD 0000 FFEF 0010 0.04 dg. No cal necessary 1"},
    };
    for (const auto& [p, is1600, columns] : rows) {
        const SolveOutcome outcome = SolveBiasAndGain(p, is1600);
        ASSERT_TRUE(outcome.solved) << outcome.cause.toStdString();
        const CalibrationResult& r = outcome.result;
        EXPECT_EQ(QStringList({r.xBiasText, r.yBiasText, r.xGainText, r.yGainText, r.xBiasWord,
                               r.yBiasWord, r.xGainWord, r.yGainWord, r.calQualText, r.calMsgText,
                               QString::number(r.faceImage)})
                      .join(QLatin1Char(' ')),
                  QLatin1String(columns))
            << p[0].Hx << " " << is1600;
    }
}

TEST(CalQualityText, TwoDecimalsHalfToEvenInTheShortestFormAndAnInclusiveThreshold) {
    for (const auto& [error, text] :
         {std::pair{0.5749, "0.57 dg."}, std::pair{2.0, "2 dg."}, std::pair{0.125, "0.12 dg."},
          std::pair{0.375, "0.38 dg."}, std::pair{12.5, "12.5 dg."}}) {
        EXPECT_EQ(CalQualityText(error), QLatin1String(text)) << error;
    }
    EXPECT_TRUE(CalRecommended(1.0));
    EXPECT_FALSE(CalRecommended(0.9999));
}

TEST(SolveBiasAndGain, PointSetsWithoutASolutionSayWhy) {
    for (const auto& [p, cause] : {
             std::pair{points(100, 100, 50, 50),
                       "The X and Y ranges are zero: the four points are identical."},
             std::pair{points(300, 100, 100, -100),
                       "The X and Y ranges cancel out: check that each point was stored with the "
                       "vehicle pointing in its direction."},
             std::pair{points(3500, 3000, -250, 250),
                       "The X bias is too large to be stored in the unit."},
             std::pair{points(250, -250, -3250, -2750),
                       "The Y bias is too large to be stored in the unit."},
             std::pair{points(500, -500, 100, -100),
                       "The X gain is too large to be stored in the unit."},
         }) {
        const SolveOutcome outcome = SolveBiasAndGain(p, false);
        EXPECT_FALSE(outcome.solved) << cause;
        EXPECT_EQ(outcome.cause, QLatin1String(cause));
    }
}

TEST(SlotForHeading, BoundariesBelongToTheLowerSlot) {
    using namespace CalSlot;
    for (const auto& [heading, slot] :
         {std::pair{45.0, East}, std::pair{135.0, East}, std::pair{135.1, South},
          std::pair{225.0, South}, std::pair{315.0, West}, std::pair{44.9, North},
          std::pair{315.1, North}, std::pair{0.0, North}, std::pair{360.0, North}}) {
        EXPECT_EQ(SlotForHeading(heading), slot) << heading;
    }
}

}  // namespace
}  // namespace tarquel
