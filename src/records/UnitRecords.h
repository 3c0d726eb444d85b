#pragma once

#include "platform/MessageBoxes.h"
#include "platform/ProgressWindow.h"
#include "records/BackupStore.h"
#include "records/RecordLog.h"
#include "unitlink/ChangeWatch.h"
#include "unitlink/UnitLink.h"

#include <QHash>
#include <QString>

namespace tarquel {

// What happens when the backup before a change cannot be read or stored.
enum class BackupFailure {
    Ask,   // the operator is asked whether to change the unit without one (No is the default)
    Stop,  // the change does not go ahead (tarquel-cli)
    GoOn,  // the change goes ahead without a backup (tarquel-cli --no-backup)
};

struct RecordsSettings {
    QString dataFolder;
    BackupFailure onBackupFailure = BackupFailure::Ask;
    QString programVersion;
};

// Keeps a backup of a unit's whole EEPROM Map before the program first changes it in a run, and
// a record of every change made. The backup is the map file of the map tool, so the comparison
// window and a revert open it as they open any saved map.
class UnitRecords : public ChangeWatch {
public:
    UnitRecords(UnitLink& link, MessageBoxes& boxes, ProgressWindow& progress,
                RecordsSettings settings);

    // ChangeWatch
    bool beforeChange(const QString& operation, const QString& progressText) override;
    void changeDone(const ChangeRecord& record) override;

    // The backup folder of the unit identified last, when it has one; else empty.
    QString unitBackupFolder() const;
    // The backup taken of the unit identified last in this run; empty when none.
    QString unitBackup() const;
    // Why the last change that did not go ahead for want of a backup was stopped; empty when
    // none was stopped.
    const QString& refusal() const { return refusal_; }

    const BackupStore& backups() const { return backups_; }
    const RecordLog& log() const { return log_; }

private:
    QString currentUnitKey() const;
    // Reads the map and stores it; the path, or empty with the reason.
    QString takeBackup(const QString& operation, QString& reason);
    bool goOnWithout(const QString& operation, const QString& reason);

    UnitLink& link_;
    MessageBoxes& boxes_;
    ProgressWindow& progress_;
    RecordsSettings settings_;
    BackupStore backups_;
    RecordLog log_;
    QHash<QString, QString> backupOfUnit_;  // unit key -> backup taken in this run
    QString refusal_;
};

}  // namespace tarquel
