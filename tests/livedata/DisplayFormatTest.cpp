#include "livedata/DisplayFormat.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

TEST(DisplayFormat, ChannelValuePictures) {
    struct Row {
        int slot;
        double value;
        const char* text;
    };
    const Row rows[] = {
        {0, 12.4, "+012 mg"},        {1, -3.7, "-004 mg"},    {2, 0, "+000 mg"},
        {0, 0.5, "+001 mg"},         {0, -0.5, "-001 mg"},    {0, 2.5, "+003 mg"},
        {0, -0.4, "-000 mg"},        {0, -0.0, "+000 mg"},    {2, 1234.5, "+1235 mg"},
        {1, 999.5, "+1000 mg"},      {3, 5.26, "+05.3 dg"},   {4, -5.25, "-05.3 dg"},
        {3, 0.25, "+00.3 dg"},       {4, -0.04, "-00.0 dg"},  {3, 89.96, "+90.0 dg"},
        {5, 7.5, "007.5 dg"},        {6, 359.95, "360.0 dg"}, {5, 0.05, "000.1 dg"},
        {5, 2.675, "002.7 dg"},      {6, -5, "-005.0 dg"},    {5, 1e-20, "000.0 dg"},
        {6, 12345.67, "12345.7 dg"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(FormatChannelValue(r.slot, r.value), QLatin1String(r.text))
            << "slot " << r.slot << " value " << r.value;
    }
}

TEST(DisplayFormat, FrameCount) {
    struct Row {
        qint32 count;
        const char* text;
    };
    const Row rows[] = {
        {1, "1.00e00"},
        {10, "1.00e01"},
        {15, "1.50e01"},
        {1234, "1.234e03"},
        {12345678, "1.2345678e07"},
        {100000000, "1.00e08"},
        {100000001, "1.00000001e08"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(FormatFrameCount(r.count), QLatin1String(r.text)) << r.count;
    }
}

TEST(DisplayFormat, FrameRate) {
    struct Row {
        int length, format;
        double rate;
    };
    const Row rows[] = {
        {50, 1, 17.8},  // 51 characters: 4 cycles
        {13, 1, 35.6},  // 14 characters: 2 cycles
        {13, 2, 35.6},  // binary also counts the carriage return
        {13, 0, 71.1},  // other formats do not: 13 characters fit one cycle
        {27, 0, 35.6},  // exactly two whole cycles would be 27.0004
        {28, 0, 23.7}, {32767, 0, 0.0},
    };
    for (const Row& r : rows) {
        EXPECT_DOUBLE_EQ(FrameRateFor(r.length, r.format), r.rate) << r.length << "/" << r.format;
    }
    EXPECT_THROW(FrameRateFor(32767, 1), OverflowError);
    EXPECT_THROW(FrameRateFor(0, 0), DivisionByZeroError);
}

TEST(DisplayFormat, FrameRateCaptionAndLeadingNumber) {
    EXPECT_EQ(FrameRateCaption(71.1), QStringLiteral("71.1 Frames/Sec"));
    EXPECT_EQ(FrameRateCaption(8.0), QStringLiteral("8 Frames/Sec"));
    EXPECT_EQ(FrameRateCaption(0.0), QStringLiteral("0 Frames/Sec"));

    struct Row {
        const char* text;
        double value;
    };
    const Row rows[] = {
        {"17.8 Frames/Sec", 17.8},
        {"0 Frames/Sec", 0},
        {"-3.5x", -3.5},
        {"+12", 12},
        {"Frames", 0},
        {"", 0},
        {"1.2.3", 1.2},
        {".5 mg", 0.5},
    };
    for (const Row& r : rows) {
        EXPECT_DOUBLE_EQ(LeadingNumber(QString::fromLatin1(r.text)), r.value) << r.text;
    }
}

}  // namespace
}  // namespace tarquel
