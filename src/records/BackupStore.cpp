#include "records/BackupStore.h"

#include "maptool/MapSave.h"

#include <QCryptographicHash>
#include <QDir>
#include <QRegularExpression>
#include <QTimeZone>
#include <algorithm>

namespace tarquel {

namespace {

const QString kTimeFormat = QStringLiteral("yyyyMMdd'T'HHmmss.zzz'Z'");
constexpr int kMaxNamePart = 60;

// "20261209T071530.123Z-begin-test.txt": the time and the operation.
const QRegularExpression& backupName() {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{8}T\\d{6}\\.\\d{3}Z)-([a-z0-9-]+?)(?:-\\d+)?\\.txt$"));
    return pattern;
}

QString safeName(const QString& text) {
    QString name;
    for (const QChar c : text.trimmed()) {
        const bool kept = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                          (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                          (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                          c == QLatin1Char('.') || c == QLatin1Char('-');
        if (kept) {
            name += c;
        } else if (!name.endsWith(QLatin1Char('_'))) {
            name += QLatin1Char('_');
        }
    }
    return name.left(kMaxNamePart);
}

}  // namespace

QString unitKey(const QString& family, const QString& idText) {
    const QString firstLine = idText.section(QLatin1Char('\n'), 0, 0);
    const QByteArray hash =
        QCryptographicHash::hash(idText.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    QString key = safeName(family) + QLatin1Char('-');
    const QString line = safeName(firstLine);
    if (!line.isEmpty()) {
        key += line + QLatin1Char('-');
    }
    return key + QString::fromLatin1(hash);
}

QString BackupStore::folderOf(const QString& unit) const {
    return dataFolder_ + QStringLiteral("/backups/") + unit;
}

QString BackupStore::store(const QString& unit, const QString& operation, const QDateTime& time,
                           const QByteArray& bytes, QString& error) const {
    const QString folder = folderOf(unit);
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("the folder ") + folder + QStringLiteral(" cannot be made");
        return {};
    }
    const QString stem = folder + QLatin1Char('/') + time.toUTC().toString(kTimeFormat) +
                         QLatin1Char('-') + operation;
    QString path = stem + QStringLiteral(".txt");
    for (int n = 2; QFileInfo::exists(path); ++n) {
        path = stem + QStringLiteral("-%1.txt").arg(n);
    }
    if (!writeWholeFile(path, bytes, error)) {
        return {};
    }
    prune(folder);
    return path;
}

void BackupStore::prune(const QString& folder) const {
    QStringList names = QDir(folder).entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    names.removeIf([](const QString& name) { return !backupName().match(name).hasMatch(); });
    // Names sort by time, oldest first.
    for (qsizetype i = 0; i + kKeptPerUnit < names.size(); ++i) {
        QFile::remove(folder + QLatin1Char('/') + names[i]);
    }
}

std::vector<BackupEntry> BackupStore::list(const QString& unitFilter) const {
    std::vector<BackupEntry> entries;
    const QDir backups(dataFolder_ + QStringLiteral("/backups"));
    for (const QString& unit : backups.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!unitFilter.isEmpty() && !unit.contains(unitFilter, Qt::CaseInsensitive)) {
            continue;
        }
        const QDir folder(backups.filePath(unit));
        for (const QString& name : folder.entryList({QStringLiteral("*.txt")}, QDir::Files)) {
            const QRegularExpressionMatch match = backupName().match(name);
            if (!match.hasMatch()) {
                continue;
            }
            QDateTime time = QDateTime::fromString(match.captured(1), kTimeFormat);
            time.setTimeZone(QTimeZone::utc());
            entries.push_back({time, unit, match.captured(2), folder.filePath(name)});
        }
    }
    std::sort(entries.begin(), entries.end(), [](const BackupEntry& a, const BackupEntry& b) {
        return a.time != b.time ? a.time > b.time : a.path > b.path;
    });
    return entries;
}

}  // namespace tarquel
