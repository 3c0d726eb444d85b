#include "records/UnitRecords.h"

#include "maptool/MapFile.h"
#include "maptool/MapReader.h"
#include "platform/LineEnds.h"
#include "unitlink/EEPROMChanges.h"
#include "unitlink/UnitMap.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonDocument>

namespace tarquel {

namespace {

const QString kBackingUp = QStringLiteral("Backing up EEPROM Map");

}  // namespace

UnitRecords::UnitRecords(UnitLink& link, MessageBoxes& boxes, ProgressWindow& progress,
                         RecordsSettings settings)
    : link_(link),
      boxes_(boxes),
      progress_(progress),
      settings_(std::move(settings)),
      backups_(settings_.dataFolder),
      log_(settings_.dataFolder) {}

QString UnitRecords::currentUnitKey() const {
    const IdentifiedUnit unit = link_.identifiedUnit();
    return unitKey(unit.family, unit.text);
}

QString UnitRecords::unitBackupFolder() const {
    if (!link_.unitAddresses().addressesSet) {
        return {};
    }
    const QString folder = backups_.folderOf(currentUnitKey());
    return QFileInfo(folder).isDir() ? folder : QString();
}

QString UnitRecords::unitBackup() const {
    return link_.unitAddresses().addressesSet ? backupOfUnit_.value(currentUnitKey()) : QString();
}

bool UnitRecords::beforeChange(const QString& operation, const QString& progressText) {
    refusal_.clear();
    if (!unitBackup().isEmpty()) {
        return true;
    }
    const bool ownWindow = !progress_.processWindowVisible();
    if (ownWindow) {
        progress_.OpenProcessWindow(kBackingUp);
    } else {
        progress_.ChangeProcessText(kBackingUp);
    }
    QString reason;
    const QString path = takeBackup(operation, reason);
    progress_.setProcessProgress(0, 0);
    if (ownWindow) {
        progress_.CloseProcessWindow();
    } else {
        progress_.ChangeProcessText(progressText);
    }
    if (!path.isEmpty()) {
        backupOfUnit_.insert(currentUnitKey(), path);
        return true;
    }
    return goOnWithout(operation, reason);
}

QString UnitRecords::takeBackup(const QString& operation, QString& reason) {
    const QString text = IdentifiedUnitMapFile(link_.access(), link_.port(), &progress_);
    if (text == kReadError) {
        reason = QStringLiteral("the EEPROM Map could not be read from the unit.");
        return {};
    }
    QString error;
    const QString path = backups_.store(currentUnitKey(), operation,
                                        QDateTime::currentDateTimeUtc(), mapFileBytes(text), error);
    if (path.isEmpty()) {
        reason = QStringLiteral("the backup could not be stored: ") + error + QLatin1Char('.');
    }
    return path;
}

bool UnitRecords::goOnWithout(const QString& operation, const QString& reason) {
    bool goOn = settings_.onBackupFailure == BackupFailure::GoOn;
    if (settings_.onBackupFailure == BackupFailure::Ask) {
        goOn =
            boxes_.show(eepromQuestion(
                QStringLiteral("No backup of the unit's EEPROM could be made: ") + reason + kCrLf +
                    kCrLf + QStringLiteral("Do you want to change the EEPROM without a backup?"),
                QStringLiteral("No EEPROM Backup!"), MsgIcon::Exclamation)) == MsgAnswer::Yes;
    }
    if (!goOn) {
        refusal_ = reason;
        changeDone(
            {operation, QStringLiteral("refused"),
             QJsonObject{{QStringLiteral("reason"), QStringLiteral("no backup: ") + reason}}});
    }
    return goOn;
}

void UnitRecords::changeDone(const ChangeRecord& record) {
    const IdentifiedUnit unit = link_.identifiedUnit();
    SerialPort& port = link_.port();
    const QString backup = unitBackup();
    QJsonObject json{
        {QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
        {QStringLiteral("version"), settings_.programVersion},
        {QStringLiteral("unit"), QJsonObject{{QStringLiteral("family"), unit.family},
                                             {QStringLiteral("identification"), unit.text}}},
        {QStringLiteral("port"),
         QJsonObject{
             {QStringLiteral("device"), port.deviceName()},
             {QStringLiteral("baud"), port.settings().section(QLatin1Char(','), 0, 0).toInt()}}},
        {QStringLiteral("operation"), record.operation},
        {QStringLiteral("outcome"), record.outcome},
        {QStringLiteral("backup"), backup.isEmpty() ? QJsonValue() : QJsonValue(backup)},
        {QStringLiteral("changes"), record.changes},
    };
    QString error;
    if (!log_.append(json, error)) {
        boxes_.show(okBox({QStringLiteral("The record of this change could not be stored in ") +
                           log_.path() + QStringLiteral(": ") + error},
                          QStringLiteral("Record Not Stored!"), MsgIcon::Exclamation));
    }
}

}  // namespace tarquel
