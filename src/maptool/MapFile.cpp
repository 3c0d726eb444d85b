#include "maptool/MapFile.h"

#include "platform/LineEnds.h"

#include <QBuffer>
#include <QFile>
#include <optional>

namespace tarquel {

namespace {

// Reads lines ended by CR LF, CR or LF, in chunks, keeping at most kMaxMapFileLine bytes of each.
class LineReader {
public:
    explicit LineReader(QIODevice& device) : device_(device) {}

    std::optional<QString> next() {
        QByteArray line;
        bool started = false;
        for (;;) {
            if (pos_ >= buffer_.size() && !fill()) {
                if (!started) {
                    return std::nullopt;
                }
                return QString::fromLatin1(line);
            }
            if (skipLineFeed_) {
                skipLineFeed_ = false;
                if (buffer_[pos_] == '\n') {
                    ++pos_;
                    continue;
                }
            }
            started = true;
            qsizetype end = pos_;
            while (end < buffer_.size() && buffer_[end] != '\r' && buffer_[end] != '\n') {
                ++end;
            }
            const qsizetype room = kMaxMapFileLine - line.size();
            line.append(buffer_.constData() + pos_, std::min(end - pos_, room));
            if (end < buffer_.size()) {
                skipLineFeed_ = buffer_[end] == '\r';
                pos_ = end + 1;
                return QString::fromLatin1(line);
            }
            pos_ = end;
        }
    }

private:
    bool fill() {
        buffer_ = device_.read(kChunk);
        pos_ = 0;
        return !buffer_.isEmpty();
    }

    static constexpr qint64 kChunk = 16384;
    QIODevice& device_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    bool skipLineFeed_ = false;
};

SavedMapLoad failure(const QString& prompt, const QString& title) {
    SavedMapLoad result;
    result.message = {prompt, title, MsgIcon::Exclamation, MsgButtons::OK};
    return result;
}

SavedMapLoad mapTypeError() {
    SavedMapLoad result;
    result.message =
        okBox({QStringLiteral("An error has occurred while processing the EEPROM Map. The two maps "
                              "are not the same type."),
               QStringLiteral("Some Corvane sensors have EEPROM maps numbered from 1600, while "
                              "others are numbered from B600."),
               QStringLiteral("These two types of maps cannot be compared to each other.")},
              QStringLiteral("Error Processing Map!"), MsgIcon::Exclamation);
    return result;
}

SavedMapLoad mapLineError(const QString& line) {
    return failure(QStringLiteral("An error has occurred while processing the EEPROM Map. The map "
                                  "line with the error is shown below:") +
                       kCrLf + kCrLf + line,
                   QStringLiteral("Error Processing Map!"));
}

SavedMapLoad fileError(int lineNumber, const QString& line) {
    return failure(QStringLiteral("Error retrieving saved EEPROM. An incorrect file may ") +
                       QStringLiteral("have been selected.") + kCrLf + kCrLf +
                       QStringLiteral("Line # ") + QString::number(lineNumber) + QLatin1Char('\t') +
                       line,
                   QStringLiteral("File Error!"));
}

// Cuts the cells of a row. start is the position right after the hyphen of the row's address,
// where a space is expected. Each cell runs from after the current space to the next one; a
// space right after the current one (the second of a double separator) is stepped over once.
// Without a further space the rest of the line is the last cell. True when 16 cells resulted;
// anything after the sixteenth cell is ignored.
bool cutCells(const QString& line, qsizetype start, MapPage& page, int row) {
    qsizetype pos = start;
    for (int column = 0; column < kMapColumns; ++column) {
        qsizetype next = line.indexOf(QLatin1Char(' '), pos + 1);
        if (next == pos + 1) {
            pos = next;
            next = line.indexOf(QLatin1Char(' '), pos + 1);
        }
        if (next < 0) {
            page.cell(row, column) = line.mid(pos + 1);
            return column == kMapColumns - 1;
        }
        page.cell(row, column) = line.mid(pos + 1, next - pos - 1);
        pos = next;
    }
    return true;
}

}  // namespace

QString FormatEEPROMMap(const EEPROMMap& map, const UnitMap& unitMap) {
    if (!unitMap.identified || unitMap.mapBase.size() < 2) {
        return QStringLiteral("Error");
    }
    const QString first = unitMap.mapBase.left(1);
    const int second = unitMap.mapBase.mid(1, 1).toInt();
    QString text;
    text.reserve(static_cast<qsizetype>(map.size()) * kMapRows * 61);
    for (size_t p = 0; p < map.size(); ++p) {
        for (int r = 0; r < kMapRows; ++r) {
            text += first + QString::number(second + static_cast<int>(p)) +
                    QString::number(r, 16).toUpper() + QStringLiteral("0 - ");
            for (int c = 0; c < kMapColumns; ++c) {
                text += map[p].cell(r, c);
                text += c % 4 == 3 ? QStringLiteral("  ") : QStringLiteral(" ");
            }
            text += kCrLf;
        }
    }
    return text;
}

QString EEPROMMapFileText(const QString& idText, const QString& mapLines, const QString& checksum) {
    return idText + kCrLf + kCrLf + mapLines + kCrLf + QStringLiteral("Checksum = ") + checksum;
}

QByteArray mapFileBytes(const QString& fileText) {
    return (fileText + kCrLf).toLatin1();
}

SavedMapLoad parseSavedMap(QIODevice& file, const QString& mapPrefix) {
    LineReader lines(file);
    int lineNumber = 0;
    std::optional<QString> line;
    QString prefix;
    while (prefix.isEmpty() && (line = lines.next())) {
        ++lineNumber;
        if (line->contains(QLatin1String("B600 -"), Qt::CaseInsensitive)) {
            prefix = QStringLiteral("B6");
        } else if (line->contains(QLatin1String("1600 -"), Qt::CaseInsensitive)) {
            prefix = QStringLiteral("16");
        }
    }
    if (prefix.isEmpty() || prefix != mapPrefix) {
        return mapTypeError();
    }
    const int pages = prefix == QLatin1String("B6") ? 1 : 3;
    SavedMapLoad result;
    result.map.resize(static_cast<size_t>(pages));
    for (int p = 0; p < pages; ++p) {
        for (int r = 0; r < kMapRows; ++r) {
            if (p > 0 || r > 0) {
                line = lines.next();
                if (!line) {
                    return fileError(lineNumber, QString());
                }
                ++lineNumber;
            }
            const QString address = rowAddress(prefix, p, r) + QStringLiteral(" -");
            const qsizetype at = line->indexOf(address, 0, Qt::CaseInsensitive);
            if (at < 0) {
                return fileError(lineNumber, *line);
            }
            if (!cutCells(*line, at + address.size(), result.map[static_cast<size_t>(p)], r)) {
                return mapLineError(*line);
            }
        }
    }
    result.ok = true;
    return result;
}

SavedMapLoad parseSavedMap(const QByteArray& bytes, const QString& mapPrefix) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return parseSavedMap(buffer, mapPrefix);
}

SavedMapLoad loadSavedMapFile(const QString& path, const QString& mapPrefix) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return fileError(0, QString());
    }
    return parseSavedMap(file, mapPrefix);
}

}  // namespace tarquel
