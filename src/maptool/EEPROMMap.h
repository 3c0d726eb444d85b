#pragma once

#include <QString>
#include <array>
#include <vector>

namespace tarquel {

constexpr int kMapRows = 16;
constexpr int kMapColumns = 16;
// Word reads of one page: two bytes per read.
constexpr int kWordsPerPage = kMapRows * kMapColumns / 2;

// One 256-byte page of the EEPROM map: cell (row, column) holds the byte at page start + 16 row +
// column as text. Read from the unit a cell is two uppercase hex digits; loaded from a file it is
// whatever the file held there.
struct MapPage {
    std::array<std::array<QString, kMapColumns>, kMapRows> cells;

    const QString& cell(int row, int column) const {
        return cells[static_cast<size_t>(row)][static_cast<size_t>(column)];
    }
    QString& cell(int row, int column) {
        return cells[static_cast<size_t>(row)][static_cast<size_t>(column)];
    }
};

// The whole map, page 0 first: one page in the B600 family, three in the 1600 family.
using EEPROMMap = std::vector<MapPage>;

// Per cell of a page: true where the live and the saved texts are equal.
using PageMatches = std::array<std::array<bool, kMapColumns>, kMapRows>;
// One PageMatches per page of the saved map.
using MapMatches = std::vector<PageMatches>;

// Compares every cell of every saved page with the live cell at the same place (exact,
// case-sensitive text comparison). A saved page the live map lacks matches nowhere.
MapMatches compareMaps(const EEPROMMap& live, const EEPROMMap& saved);
bool allMatch(const MapMatches& matches);

// The map prefix of a family: "B6" for the B600 family, "16" for the 1600 family.
QString mapPrefixFor(bool isB600Family);
// The first two address digits of page pageIndex (from 0): "B6"; "16", "17", "18".
QString pagePrefix(const QString& mapPrefix, int pageIndex);
// The address of a row's first byte: "B6A0", "17F0".
QString rowAddress(const QString& mapPrefix, int pageIndex, int row);
// The address of the word holding cells column and column + 1 (column even): "B6A4", "18FE".
QString wordAddress(const QString& mapPrefix, int pageIndex, int row, int column);

// One word of the saved map with at least one byte unlike the live map.
struct WordDifference {
    QString address;
    QString saved;  // the two saved cell texts, as loaded
    QString live;
    int pageIndex;
    int row;
    int column;  // even
};

// The words that differ, in ascending address order.
std::vector<WordDifference> differingWords(const EEPROMMap& live, const EEPROMMap& saved,
                                           const MapMatches& matches, const QString& mapPrefix);

}  // namespace tarquel
