#include "maptool/EEPROMMap.h"

namespace tarquel {

namespace {

QString hexDigit(int value) {
    return QString::number(value & 0xF, 16).toUpper();
}

}  // namespace

MapMatches compareMaps(const EEPROMMap& live, const EEPROMMap& saved) {
    MapMatches matches(saved.size());
    for (size_t p = 0; p < saved.size(); ++p) {
        for (int r = 0; r < kMapRows; ++r) {
            for (int c = 0; c < kMapColumns; ++c) {
                matches[p][static_cast<size_t>(r)][static_cast<size_t>(c)] =
                    p < live.size() && live[p].cell(r, c) == saved[p].cell(r, c);
            }
        }
    }
    return matches;
}

bool allMatch(const MapMatches& matches) {
    for (const PageMatches& page : matches) {
        for (const auto& row : page) {
            for (const bool same : row) {
                if (!same) {
                    return false;
                }
            }
        }
    }
    return true;
}

QString mapPrefixFor(bool isB600Family) {
    return isB600Family ? QStringLiteral("B6") : QStringLiteral("16");
}

QString pagePrefix(const QString& mapPrefix, int pageIndex) {
    if (mapPrefix == QLatin1String("16")) {
        return QStringLiteral("1") + QString::number(pageIndex + 6);
    }
    return mapPrefix;
}

QString rowAddress(const QString& mapPrefix, int pageIndex, int row) {
    return pagePrefix(mapPrefix, pageIndex) + hexDigit(row) + QLatin1Char('0');
}

QString wordAddress(const QString& mapPrefix, int pageIndex, int row, int column) {
    return pagePrefix(mapPrefix, pageIndex) + hexDigit(row) + hexDigit(column);
}

std::vector<WordDifference> differingWords(const EEPROMMap& live, const EEPROMMap& saved,
                                           const MapMatches& matches, const QString& mapPrefix) {
    std::vector<WordDifference> words;
    for (size_t p = 0; p < matches.size() && p < saved.size(); ++p) {
        for (int r = 0; r < kMapRows; ++r) {
            const auto& same = matches[p][static_cast<size_t>(r)];
            for (int c = 0; c < kMapColumns; c += 2) {
                if (same[static_cast<size_t>(c)] && same[static_cast<size_t>(c + 1)]) {
                    continue;
                }
                const int page = static_cast<int>(p);
                QString liveWord;
                if (p < live.size()) {
                    liveWord = live[p].cell(r, c) + live[p].cell(r, c + 1);
                }
                words.push_back({wordAddress(mapPrefix, page, r, c),
                                 saved[p].cell(r, c) + saved[p].cell(r, c + 1), liveWord, page, r,
                                 c});
            }
        }
    }
    return words;
}

}  // namespace tarquel
