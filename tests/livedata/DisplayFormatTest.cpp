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
    // clang-format off
    const Row rows[] = {
        {0, 12.4, "+012 mg"},   {1, -3.7, "-004 mg"},   {2, 0, "+000 mg"},      {0, 0.5, "+001 mg"},
        {0, -0.5, "-001 mg"},   {0, 2.5, "+003 mg"},    {0, -0.4, "-000 mg"},   {0, -0.0, "+000 mg"},
        {2, 1234.5, "+1235 mg"}, {1, 999.5, "+1000 mg"}, {3, 5.26, "+05.3 dg"}, {4, -5.25, "-05.3 dg"},
        {3, 0.25, "+00.3 dg"},  {4, -0.04, "-00.0 dg"}, {3, 89.96, "+90.0 dg"}, {5, 7.5, "007.5 dg"},
        {6, 359.95, "360.0 dg"}, {5, 0.05, "000.1 dg"}, {6, -5, "-005.0 dg"},   {5, 1e-20, "000.0 dg"},
        {6, 12345.67, "12345.7 dg"},
    };
    // clang-format on
    for (const Row& r : rows) {
        EXPECT_EQ(FormatChannelValue(r.slot, r.value), QLatin1String(r.text)) << r.value;
    }
}

TEST(DisplayFormat, FrameCount) {
    // clang-format off
    const std::pair<qint32, const char*> rows[] = {
        {1, "1.00e00"}, {15, "1.50e01"}, {1234, "1.234e03"}, {12345678, "1.2345678e07"},
        {100000000, "1.00e08"}, {100000001, "1.00000001e08"}};
    // clang-format on
    for (const auto& [count, text] : rows) {
        EXPECT_EQ(FormatFrameCount(count), QLatin1String(text));
    }
}

TEST(DisplayFormat, FrameRate) {
    constexpr DataFormat decimal = DataFormat::Decimal;
    constexpr DataFormat none = DataFormat::Unknown;
    struct Row {
        int length;
        DataFormat format;
        double rate;
    };
    // clang-format off
    const Row rows[] = {
        {50, decimal, 17.8}, {13, decimal, 35.6}, {13, DataFormat::Binary, 35.6},  // + the CR
        {13, none, 71.1}, {27, none, 35.6}, {28, none, 23.7}, {32767, none, 0.0}};
    // clang-format on
    for (const Row& r : rows) {
        EXPECT_DOUBLE_EQ(FrameRateFor(r.length, r.format), r.rate) << r.length;
    }
    EXPECT_THROW(FrameRateFor(32767, decimal), OverflowError);
    EXPECT_THROW(FrameRateFor(0, none), DivisionByZeroError);

    EXPECT_EQ(FrameRateCaption(71.1), QStringLiteral("71.1 Frames/Sec"));
    EXPECT_EQ(FrameRateCaption(8.0), QStringLiteral("8 Frames/Sec"));
    // clang-format off
    const std::pair<const char*, double> numbers[] = {
        {"17.8 Frames/Sec", 17.8}, {"0 Frames/Sec", 0}, {"-3.5x", -3.5}, {"+12", 12},
        {"Frames", 0}, {"", 0}, {"1.2.3", 1.2}, {".5 mg", 0.5}};
    // clang-format on
    for (const auto& [text, value] : numbers) {
        EXPECT_DOUBLE_EQ(LeadingNumber(QString::fromLatin1(text)), value) << text;
    }
}

}  // namespace
}  // namespace tarquel
