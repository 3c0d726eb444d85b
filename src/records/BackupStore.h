#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <vector>

namespace tarquel {

// One stored backup of a unit's EEPROM Map.
struct BackupEntry {
    QDateTime time;  // UTC
    QString unit;    // the unit's key
    QString operation;
    QString path;
};

// A file-name-safe key for a unit: its family, the first line of its identification text with
// everything but letters, digits, dots and hyphens made "_", and eight hex digits of a hash of the
// whole text, so that units whose texts differ after the first line stay apart:
// "B600-HMR3000_Version_4.20-1f0c9a2e".
QString unitKey(const QString& family, const QString& idText);

// The backups of every unit, as map files in <data folder>/backups/<unit>/, one file per backup
// named by its UTC time and operation: 20261209T071530.123Z-begin-test.txt. The newest
// kKeptPerUnit of each unit are kept.
class BackupStore {
public:
    static constexpr int kKeptPerUnit = 100;

    explicit BackupStore(QString dataFolder) : dataFolder_(std::move(dataFolder)) {}

    QString folderOf(const QString& unit) const;
    // Stores a backup taken at time, through a temporary file that is renamed once complete.
    // The path stored, or empty with error set.
    QString store(const QString& unit, const QString& operation, const QDateTime& time,
                  const QByteArray& bytes, QString& error) const;
    // The backups, newest first; of the units whose key contains unitFilter (case-insensitive)
    // when it is not empty.
    std::vector<BackupEntry> list(const QString& unitFilter = {}) const;

private:
    void prune(const QString& folder) const;

    QString dataFolder_;
};

}  // namespace tarquel
