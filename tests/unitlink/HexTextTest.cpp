#include "platform/Errors.h"
#include "unitlink/HexText.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

struct HexWordCase {
    float value;
    const char* text;
};

class HexWordTable : public ::testing::TestWithParam<HexWordCase> {};

TEST_P(HexWordTable, FloorsAndWritesFourUppercaseDigits) {
    EXPECT_EQ(HexWord(GetParam().value), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Values, HexWordTable,
                         ::testing::Values(HexWordCase{255, "00FF"}, HexWordCase{-2, "FFFE"},
                                           HexWordCase{32767, "7FFF"}, HexWordCase{0.9f, "0000"},
                                           HexWordCase{0, "0000"}, HexWordCase{10, "000A"},
                                           HexWordCase{4096, "1000"}, HexWordCase{12.7f, "000C"},
                                           HexWordCase{-0.5f, "FFFF"}, HexWordCase{-1, "FFFF"},
                                           HexWordCase{-32768, "8000"},
                                           HexWordCase{-546.13f, "FDDD"},
                                           HexWordCase{-32767.5f, "8000"}));

TEST(HexWord, ValuesOutsideSixteenBitsAreAnOverflow) {
    EXPECT_THROW(HexWord(32768.0f), OverflowError);
    EXPECT_THROW(HexWord(-32768.5f), OverflowError);
    EXPECT_THROW(HexWord(1e9f), OverflowError);
    EXPECT_THROW(HexWord(std::numeric_limits<float>::quiet_NaN()), OverflowError);
    EXPECT_NO_THROW(HexWord(32767.9f));
}

TEST(IsHexString, AcceptsBothCasesAndNothingElse) {
    EXPECT_TRUE(IsHexString(QStringLiteral("b68a")));
    EXPECT_TRUE(IsHexString(QStringLiteral("B68A")));
    EXPECT_TRUE(IsHexString(QStringLiteral("0")));
    EXPECT_FALSE(IsHexString(QString()));
    EXPECT_FALSE(IsHexString(QStringLiteral("B6G0")));
    EXPECT_FALSE(IsHexString(QStringLiteral(" B68")));
    EXPECT_FALSE(IsHexString(QStringLiteral("-1")));
    EXPECT_FALSE(IsHexString(QStringLiteral("B6\u00C4A")));
}

TEST(WordValue, IsSignedSixteenBitAndRejectsNonHex) {
    EXPECT_EQ(WordValue(QStringLiteral("FFFF")), -1);
    EXPECT_EQ(WordValue(QStringLiteral("8000")), -32768);
    EXPECT_EQ(WordValue(QStringLiteral("7FFF")), 32767);
    EXPECT_EQ(WordValue(QStringLiteral("006D")), 109);
    EXPECT_THROW(WordValue(QStringLiteral("Error")), TypeMismatchError);
    EXPECT_THROW(WordValue(QString()), TypeMismatchError);
}

TEST(ReplaceFrom, KeepsTheTextBeforeTheStart) {
    const QString text = QStringLiteral("rev A, firmware rev 2, rev 3");
    EXPECT_EQ(ReplaceFrom(text, QStringLiteral("rev"), QStringLiteral("Rev 12"), 1, 1, true),
              QStringLiteral("Rev 12 A, firmware rev 2, rev 3"));
    EXPECT_EQ(ReplaceFrom(text, QStringLiteral("REV"), QStringLiteral("Rev C2"), 17, 1, true),
              QStringLiteral("rev A, firmware Rev C2 2, rev 3"));
    EXPECT_EQ(ReplaceFrom(text, QStringLiteral("REV"), QStringLiteral("x"), 1, 1, false), text);
    EXPECT_EQ(ReplaceFrom(text, QStringLiteral("rev"), QStringLiteral("R"), 2, -1, false),
              QStringLiteral("rev A, firmware R 2, R 3"));
}

}  // namespace
}  // namespace tarquel
