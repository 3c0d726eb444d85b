// The settings check and restore around a calibration test.
#include "calibration/EEPROMSettings.h"
#include "support/SimRig.h"

#include <array>
#include <optional>
#include <tuple>

namespace tarquel {
namespace {

class EEPROMSettingsTest : public test::SimRig {
protected:
    EEPROMSettingsTest() {
        makeUnit(quietUnit());
        EXPECT_TRUE(link.fInit(true));
    }
    // Runs the restore with the given saved words and answer to the default question.
    bool restore(const char* saved1, const char* saved2, std::optional<MsgAnswer> answer = {}) {
        settings.saveSettings(QLatin1String(saved1), QLatin1String(saved2));
        settings.setSettingsAltered(true);
        if (answer) {
            boxes.queueAnswer(*answer);
        }
        return settings.RestoreSettings();
    }

    RecordingProgressWindow progress{&clock};
    EEPROMSettings settings{link, boxes, progress};
};

TEST_F(EEPROMSettingsTest, WarningsNameTheWordItsValueAndTheRecommendation) {
    // Words A and B, then each warning's title and the last line of its text.
    const std::array<const char*, 3> rows[] = {
        {"0808", "18FF", ""},
        {"0809", "0001", ""},
        {"0807", "0C05", "Warning: EEPROM B608 setting too low! / Min recommended setting:  080C"},
        {"0C11", "0C05", "Warning: EEPROM B608 setting too high! / Max recommended setting:  0C0C"},
        {"0A0A", "1905", "Warning: EEPROM B60E setting too high! / Max recommended setting:  1805"},
        {"0A0A", "0000", "Warning: EEPROM B60E setting too low! / Min recommended setting:  0100"},
        {"FFFF", "FFFF",
         "Warning: EEPROM B608 setting too high! / Max recommended setting:  0C0C; "
         "Warning: EEPROM B60E setting too high! / Max recommended setting:  18FF"},
    };
    for (const auto& [a, b, expected] : rows) {
        boxes.clear();
        bool aOk = false, bOk = false;
        const bool both =
            settings.fCheckEEPROMValues(QLatin1String(a), aOk, QLatin1String(b), bOk, true);
        EXPECT_EQ(both, *expected == '\0') << a << " " << b;
        EXPECT_EQ(aOk, !QLatin1String(expected).contains(QLatin1String("B608")));
        EXPECT_EQ(bOk, !QLatin1String(expected).contains(QLatin1String("B60E")));
        QStringList warnings;
        for (const MsgBox& box : boxes.shown()) {
            EXPECT_EQ(box.icon, MsgIcon::Exclamation);
            warnings << box.title + QStringLiteral(" / ") +
                            box.prompt.section(QStringLiteral("\r\n"), 2);
        }
        EXPECT_EQ(warnings.join(QStringLiteral("; ")), QLatin1String(expected));
    }
    EXPECT_EQ(boxes.shown()[0].prompt,
              QStringLiteral("The value in EEPROM location B608 appears to be set too high.\r\n"
                             "Current Setting:  FFFF\r\nMax recommended setting:  0C0C"));
}

TEST_F(EEPROMSettingsTest, RestoreWritesTheSavedValuesOrOffersTheDefaultsAndReportsAFailure) {
    // The saved words, the answer to the question (none: no question), the words restored.
    const std::tuple<const char*, const char*, std::optional<MsgAnswer>, quint16, quint16> rows[] =
        {
            {"0808", "18FF", std::nullopt, 0x0808, 0x18FF},
            {"0A0A", "2030", MsgAnswer::Yes, 0x080C, 0x0105},  // low byte above 22: 05
            {"0A0A", "2012", MsgAnswer::Yes, 0x080C, 0x0112},
            {"0C11", "0C05", MsgAnswer::Yes, 0x080C, 0x0105},  // both set, the acceptable one too
            {"0C11", "2030", MsgAnswer::No, 0x0C11, 0x2030},   // No writes the saved values back
        };
    for (const auto& [saved1, saved2, answer, a, b] : rows) {
        boxes.clear();
        EXPECT_TRUE(restore(saved1, saved2, answer));
        EXPECT_EQ(unit->word(0xB608), a) << saved1;
        EXPECT_EQ(unit->word(0xB60E), b) << saved2;
        EXPECT_FALSE(settings.settingsAltered());
        EXPECT_FALSE(progress.processWindowVisible());
        if (!answer) {
            EXPECT_TRUE(boxes.shown().empty());
            continue;
        }
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Reset EEPROM values to default?"));
        EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Question);
        EXPECT_EQ(boxes.shown()[0].defaultAnswer(), MsgAnswer::Yes);
    }
    EXPECT_EQ(boxes.shown()[0].prompt,
              QStringLiteral("These EEPROM values were set to non-operational values\r\n"
                             "before the calibration process began.\r\n"
                             "B608 set to:  0C11   Default value:  080C\r\n"
                             "B60E set to:  2030   Default value:  01\r\n"
                             "Do you want to set these values to the default settings?"));
    EXPECT_EQ(progress.messages().front(), QStringLiteral("Restoring EEPROM values"));

    // A failed write skips the other word and asks for the map.
    boxes.clear();
    unit->setWord(0xB60E, 0x1111);
    line.refusedWrites = {0xB608};
    EXPECT_FALSE(restore("0A0A", "0C05"));
    EXPECT_TRUE(settings.settingsAltered());
    EXPECT_EQ(unit->word(0xB60E), 0x1111);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Error restoring EEPROM!"));
    EXPECT_EQ(boxes.shown()[0].prompt,
              QStringLiteral("WARNING!\r\nThe EEPROM of the Corvane unit has not been restored "
                             "properly.\r\nPlease email a copy of the EEPROM map (Ctrl + E) to "
                             "Corvane Industries at\r\n") +
                  kSupportAddress);
    EXPECT_FALSE(progress.processWindowVisible());
}

}  // namespace
}  // namespace tarquel
