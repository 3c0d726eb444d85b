// The map file loader: every message with its line number, the accepted variants of a map line,
// and untrusted input.
#include "maptool/MapFile.h"

#include <gtest/gtest.h>
#include <QByteArrayList>

namespace tarquel {
namespace {

const QByteArray kCrLf = "\r\n";

QByteArray hex2(int value) {
    return QByteArray::number(value, 16).rightJustified(2, '0').toUpper();
}

// Row r of a page whose addresses start with prefix, laid out as the tool writes it; byte c holds
// the low digits of its own address (r0 .. rF).
QByteArray mapLine(const QByteArray& prefix, int r) {
    QByteArray line = prefix + QByteArray::number(r, 16).toUpper() + "0 - ";
    for (int c = 0; c < 16; ++c) {
        line += hex2(r * 16 + c) + (c % 4 == 3 ? "  " : " ");
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
    lines << ""
          << "Checksum = 5C";
    return lines;
}
const QList<QByteArray> kB600 = mapFile({"B6"});
const QList<QByteArray> k1600 = mapFile({"16", "17", "18"});

QByteArray joined(const QList<QByteArray>& lines, const QByteArray& end = kCrLf) {
    return lines.join(end) + end;
}
// The file with line number n (from 1) replaced, or with everything after line n cut off.
QByteArray replaced(QList<QByteArray> lines, int n, const QByteArray& text) {
    lines[n - 1] = text;
    return joined(lines);
}
QByteArray cutAfter(QList<QByteArray> lines, int n) {
    return joined(lines.mid(0, n));
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

struct Rejected {
    const char* name;
    QByteArray file;
    const char* livePrefix;
    QString prompt;
    const char* title;
};

TEST(MapFileLoader, EachMalformedFileGivesItsMessageAndLineNumber) {
    const QByteArray short15 = mapLine("B6", 2).left(7 + 15 * 3 + 3).trimmed();
    const Rejected cases[] = {
        {"1600 map against a B600 unit", joined(k1600), "B6", kTypePrompt, "Error Processing Map!"},
        {"B600 map against a 1600 unit", joined(kB600), "16", kTypePrompt, "Error Processing Map!"},
        {"no map line at all", "just text\r\nB6OO - 00\r\n", "B6", kTypePrompt,
         "Error Processing Map!"},
        {"no live map loaded", joined(kB600), "", kTypePrompt, "Error Processing Map!"},
        {"15 bytes without trailing spaces", replaced(kB600, 5, short15), "B6",
         kLinePrompt + QString::fromLatin1(short15), "Error Processing Map!"},
        {"ends inside the map", cutAfter(kB600, 17), "B6", kFilePrompt + "17\t", "File Error!"},
        {"a row without its address", replaced(kB600, 8, "B6S0 - 00 11"), "B6",
         kFilePrompt + "8\tB6S0 - 00 11", "File Error!"},
        {"row address without the hyphen", replaced(kB600, 12, "B690 00"), "B6",
         kFilePrompt + "12\tB690 00", "File Error!"},
        {"1600 map ends after its first page", cutAfter(k1600, 18), "16", kFilePrompt + "18\t",
         "File Error!"},
        {"second page starts at 1800", replaced(k1600, 19, mapLine("18", 0)), "16",
         kFilePrompt + "19\t" + QString::fromLatin1(mapLine("18", 0)), "File Error!"},
        {"third page row 1 missing", replaced(k1600, 36, ""), "16", kFilePrompt + "36\t",
         "File Error!"},
    };
    for (const Rejected& c : cases) {
        SCOPED_TRACE(c.name);
        const SavedMapLoad load = parseSavedMap(c.file, QLatin1String(c.livePrefix));
        EXPECT_FALSE(load.ok);
        EXPECT_EQ(load.message.prompt, c.prompt);
        EXPECT_EQ(load.message.title, QLatin1String(c.title));
        EXPECT_EQ(load.message.icon, MsgIcon::Exclamation);
    }
}

struct Accepted {
    const char* name;
    QByteArray file;
    const char* livePrefix;
    int page, row, column;
    const char* cell;
};

TEST(MapFileLoader, AcceptsTheVariantsOfAMapLine) {
    const QByteArray row0 = mapLine("B6", 0);
    QByteArray single = row0;
    single.replace("  ", " ");
    QByteArray lost = row0;
    lost.replace("0F  ", "  ");
    const Accepted cases[] = {
        {"single spaces everywhere", replaced(kB600, 3, single), "B6", 0, 0, 15, "0F"},
        {"three spaces make an empty cell",
         replaced(kB600, 3,
                  "B600 - 00 01 02 03   04 05"
                  " 06 07 08 09 0A 0B 0C 0D 0E 0F"),
         "B6", 0, 0, 4, ""},
        {"...and the cells after it move on",
         replaced(kB600, 3,
                  "B600 - 00 01 02 03   04 05"
                  " 06 07 08 09 0A 0B 0C 0D 0E"),
         "B6", 0, 0, 15, "0E"},
        {"text after the sixteenth separator", replaced(kB600, 3, row0 + "extra text"), "B6", 0, 0,
         15, "0F"},
        {"last byte lost, two trailing spaces kept", replaced(kB600, 3, lost), "B6", 0, 0, 15, ""},
        {"lower-case address and bytes", replaced(kB600, 13, mapLine("B6", 10).toLower()), "B6", 0,
         10, 1, "a1"},
        {"text before the map may be anything", replaced(kB600, 1, "B6 - 1600- b600"), "B6", 0, 15,
         15, "FF"},
        {"LF line ends", joined(kB600, "\n"), "B6", 0, 15, 14, "FE"},
        {"CR line ends", joined(kB600, "\r"), "B6", 0, 7, 3, "73"},
        {"1600 map, third page", joined(k1600), "16", 2, 15, 15, "FF"},
        {"no line end after the map", kB600.mid(0, 18).join(kCrLf), "B6", 0, 15, 0, "F0"},
    };
    for (const Accepted& c : cases) {
        SCOPED_TRACE(c.name);
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
    EXPECT_EQ(load.message.prompt.size(), kLinePrompt.size() + kMaxMapFileLine);
}

}  // namespace
}  // namespace tarquel
