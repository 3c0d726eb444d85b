// The map file loader: every message with its line number, the accepted variants of a map line,
// and untrusted input.
#include "maptool/MapFile.h"

#include <gtest/gtest.h>
#include <QByteArrayList>

namespace tarquel {
namespace {

// Row r of a page whose addresses start with prefix, laid out as the tool writes it; byte c holds
// the low digits of its own address (r0 .. rF).
QByteArray mapLine(const QByteArray& prefix, int r) {
    QByteArray line = prefix + QByteArray::number(r, 16).toUpper() + "0 - ";
    for (int c = 0; c < 16; ++c) {
        line += QByteArray::number(r * 16 + c, 16).rightJustified(2, '0').toUpper() +
                (c % 4 == 3 ? "  " : " ");
    }
    return line;
}

// A map file as a list of lines: identification (line 1), blank (2), the map rows from line 3,
// blank, checksum.
QList<QByteArray> mapFile(const QList<QByteArray>& pages) {
    QList<QByteArray> lines{"CV-3100 Version 4.20", ""};
    for (const QByteArray& prefix : pages) {
        for (int r = 0; r < 16; ++r) {
            lines << mapLine(prefix, r);
        }
    }
    return lines + QList<QByteArray>{"", "Checksum = 5C"};
}
const QList<QByteArray> kB600 = mapFile({"B6"});
const QList<QByteArray> k1600 = mapFile({"16", "17", "18"});

QByteArray joined(const QList<QByteArray>& lines, const QByteArray& end = "\r\n") {
    return lines.join(end) + end;
}
// The file with line number n (from 1) replaced.
QByteArray replaced(QList<QByteArray> lines, int n, const QByteArray& text) {
    lines[n - 1] = text;
    return joined(lines);
}

const QString kTypePrompt = QStringLiteral(
    "An error has occurred while processing the EEPROM Map. The two maps are not the same "
    "type.\r\nSome Corvane sensors have EEPROM maps numbered from 1600, while others are "
    "numbered from B600.\r\nThese two types of maps cannot be compared to each other.");
const QString kLinePrompt = QStringLiteral(
    "An error has occurred while processing the EEPROM Map. The map line with the error is shown "
    "below:\r\n\r\n");
const QString kFilePrompt = QStringLiteral(
    "Error retrieving saved EEPROM. An incorrect file may have been selected.\r\n\r\nLine # ");

TEST(MapFileLoader, EachMalformedFileGivesItsMessageAndLineNumber) {
    const QByteArray short15 = mapLine("B6", 2).left(7 + 15 * 3 + 3).trimmed();
    const QByteArray page2At1800 = mapLine("18", 0);
    const std::tuple<QByteArray, const char*, QString> cases[] = {
        {joined(k1600), "B6", kTypePrompt},                 // a 1600 map against a B600 unit
        {"just text\r\nB6OO - 00\r\n", "B6", kTypePrompt},  // no map line at all
        {replaced(kB600, 5, short15), "B6", kLinePrompt + short15},           // no trailing spaces
        {replaced(kB600, 12, "B690 00"), "B6", kFilePrompt + "12\tB690 00"},  // no hyphen
        {joined(k1600.mid(0, 18)), "16", kFilePrompt + "18\t"},  // ends after its first page
        {replaced(k1600, 19, page2At1800), "16", kFilePrompt + "19\t" + page2At1800},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        const auto& [file, livePrefix, prompt] = c;
        const SavedMapLoad load = parseSavedMap(file, QLatin1String(livePrefix));
        EXPECT_FALSE(load.ok);
        EXPECT_EQ(load.message.prompt, prompt);
        EXPECT_EQ(load.message.title,
                  prompt.startsWith(kFilePrompt) ? "File Error!" : "Error Processing Map!");
        EXPECT_EQ(load.message.icon, MsgIcon::Exclamation);
    }
}

TEST(MapFileLoader, AcceptsTheVariantsOfAMapLine) {
    const QByteArray row0 = mapLine("B6", 0);
    const QByteArray single = QByteArray(row0).replace("  ", " ");
    const QByteArray lost = QByteArray(row0).replace("0F  ", "  ");
    const QByteArray emptyCell = "B600 - 00 01 02 03   04 05 06 07 08 09 0A 0B 0C 0D 0E";
    const struct {
        QByteArray file;
        const char* livePrefix;
        int page, row, column;
        const char* cell;
    } cases[] = {
        {replaced(kB600, 3, single), "B6", 0, 0, 15, "0F"},          // single spaces everywhere
        {replaced(kB600, 3, emptyCell), "B6", 0, 0, 15, "0E"},       // three spaces: an empty cell
        {replaced(kB600, 3, row0 + "extra"), "B6", 0, 0, 15, "0F"},  // after the 16th separator
        {replaced(kB600, 3, lost), "B6", 0, 0, 15, ""},  // last byte lost, trailing spaces kept
        {replaced(kB600, 13, mapLine("B6", 10).toLower()), "B6", 0, 10, 1, "a1"},
        {replaced(kB600, 1, "B6 - 1600- b600"), "B6", 0, 15, 15, "FF"},  // text before the map
        {joined(kB600, "\n"), "B6", 0, 15, 14, "FE"},
        {joined(kB600, "\r"), "B6", 0, 7, 3, "73"},
        {joined(k1600), "16", 2, 15, 15, "FF"},
        {kB600.mid(0, 18).join("\r\n"), "B6", 0, 15, 0, "F0"},  // no line end after the map
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        const SavedMapLoad load = parseSavedMap(c.file, QLatin1String(c.livePrefix));
        ASSERT_TRUE(load.ok) << load.message.prompt.toStdString();
        ASSERT_EQ(load.map.size(), c.livePrefix == QByteArray("16") ? 3U : 1U);
        EXPECT_EQ(load.map[static_cast<size_t>(c.page)].cell(c.row, c.column),
                  QLatin1String(c.cell));
    }
}

TEST(MapFileLoader, AHugeLineGivesAMessageWithABoundedLine) {
    const QByteArray huge = "B600 - " + QByteArray(8 << 20, 'x');
    const SavedMapLoad load = parseSavedMap(huge, QStringLiteral("B6"));
    ASSERT_FALSE(load.ok);
    EXPECT_EQ(load.message.prompt, kLinePrompt + QString::fromLatin1(huge.left(kMaxMapFileLine)));
}

}  // namespace
}  // namespace tarquel
