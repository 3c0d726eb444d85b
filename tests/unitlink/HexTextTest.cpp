#include "platform/Errors.h"
#include "unitlink/HexText.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

TEST(HexWord, FloorsAndWritesFourUppercaseDigitsOrOverflows) {
    const struct {
        float value;
        const char* text;  // null: OverflowError
    } rows[] = {{255, "00FF"},
                {32767.9f, "7FFF"},
                {-546.13f, "FDDD"},
                {-32767.5f, "8000"},
                {32768.0f, nullptr},
                {-32768.5f, nullptr},
                {std::numeric_limits<float>::quiet_NaN(), nullptr}};
    for (const auto& row : rows) {
        if (row.text == nullptr) {
            EXPECT_THROW(HexWord(row.value), OverflowError) << row.value;
        } else {
            EXPECT_EQ(HexWord(row.value), QLatin1String(row.text)) << row.value;
        }
    }
}

TEST(HexText, WordTextsAndTheirSignedValues) {
    // C4 is a letter in Latin-1, but no hex digit.
    for (const auto& [text, hex] :
         {std::pair{"b68a", true}, std::pair{"B68A", true}, std::pair{"0", true},
          std::pair{"", false}, std::pair{"B6G0", false}, std::pair{" B68", false},
          std::pair{"-1", false}, std::pair{"B6\xC4", false}}) {
        EXPECT_EQ(IsHexString(QLatin1String(text)), hex) << text;
    }
    EXPECT_FALSE(IsWordText(QStringLiteral("B68")));
    EXPECT_FALSE(IsWordText(QStringLiteral("B68A0")));

    for (const auto& [text, value] : {std::pair{"FFFF", -1}, std::pair{"8000", -32768},
                                      std::pair{"7FFF", 32767}, std::pair{"6D", 109}}) {
        EXPECT_EQ(WordValue(QLatin1String(text)), value) << text;
    }
    EXPECT_THROW(WordValue(QStringLiteral("Error")), TypeMismatchError);
}

TEST(ReplaceFrom, KeepsTheTextBeforeTheStart) {
    const QString text = QStringLiteral("rev A, firmware rev 2, rev 3");
    EXPECT_EQ(ReplaceFrom(text, QStringLiteral("REV"), QStringLiteral("Rev C2"), 17, 1, true),
              QStringLiteral("rev A, firmware Rev C2 2, rev 3"));
    EXPECT_EQ(ReplaceFrom(text, QStringLiteral("REV"), QStringLiteral("x"), 1, 1, false), text);
    EXPECT_EQ(ReplaceFrom(text, QStringLiteral("rev"), QStringLiteral("R"), 2, -1, false),
              QStringLiteral("rev A, firmware R 2, R 3"));
}

}  // namespace
}  // namespace tarquel
