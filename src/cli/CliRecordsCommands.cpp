// backups and records: what the data folder holds of the changes made to units.
#include "cli/CliCommand.h"
#include "records/BackupStore.h"
#include "records/RecordLog.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace tarquel {

namespace {

// "2026-12-09 07:15:30 UTC"
QString shownTime(const QDateTime& time) {
    return time.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'"));
}

int backups(const CliRequest& request, const QString& dataFolder, QTextStream& out,
            QTextStream& err) {
    const std::vector<BackupEntry> entries = BackupStore(dataFolder).list(request.unit);
    if (request.json) {
        QJsonArray array;
        for (const BackupEntry& entry : entries) {
            array.append(
                QJsonObject{{QStringLiteral("time"), entry.time.toString(Qt::ISODateWithMs)},
                            {QStringLiteral("unit"), entry.unit},
                            {QStringLiteral("operation"), entry.operation},
                            {QStringLiteral("path"), entry.path}});
        }
        out << QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
        return CliExit::Ok;
    }
    if (entries.empty()) {
        err << "tarquel-cli: no backups in " << dataFolder << "\n";
    }
    for (const BackupEntry& entry : entries) {
        out << shownTime(entry.time) << "  " << entry.unit << "  " << entry.operation << "  "
            << entry.path << "\n";
    }
    return CliExit::Ok;
}

// "2026-12-09 07:15:30 UTC  B600 HMR3000 Version 4.20  calibration  done  /path/backup.txt"
QString recordLine(const QJsonObject& record) {
    const QJsonObject unit = record.value(QStringLiteral("unit")).toObject();
    const QString firstLine =
        unit.value(QStringLiteral("identification")).toString().section(QLatin1Char('\n'), 0, 0);
    const QDateTime time =
        QDateTime::fromString(record.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    const QString backup = record.value(QStringLiteral("backup")).toString();
    return shownTime(time) + QStringLiteral("  ") +
           unit.value(QStringLiteral("family")).toString() + QLatin1Char(' ') +
           firstLine.trimmed() + QStringLiteral("  ") +
           record.value(QStringLiteral("operation")).toString() + QStringLiteral("  ") +
           record.value(QStringLiteral("outcome")).toString() + QStringLiteral("  ") +
           (backup.isEmpty() ? QStringLiteral("(no backup)") : backup);
}

int records(const CliRequest& request, const QString& dataFolder, QTextStream& out,
            QTextStream& err) {
    const RecordLog log(dataFolder);
    int unreadable = 0;
    const std::vector<QJsonObject> records = log.readAll(&unreadable);
    if (unreadable > 0) {
        err << "tarquel-cli: " << unreadable << " line(s) of " << log.path()
            << " are not records and were passed over\n";
    }
    if (request.json) {
        QJsonArray array;
        for (const QJsonObject& record : records) {
            array.append(record);
        }
        out << QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
        return CliExit::Ok;
    }
    if (records.empty()) {
        err << "tarquel-cli: no records in " << log.path() << "\n";
    }
    for (const QJsonObject& record : records) {
        out << recordLine(record) << "\n";
    }
    return CliExit::Ok;
}

const CliFileCommand kCommands[] = {
    {"backups",
     "  backups [--unit TEXT] [--json]\n"
     "                           the EEPROM backups, newest first: time, unit, operation, file;\n"
     "                           of the units whose key contains TEXT\n",
     true, true, backups},
    {"records",
     "  records [--json]         the record of every change, newest first; --json prints them\n"
     "                           as a JSON array\n",
     true, false, records},
};

}  // namespace

std::span<const CliFileCommand> cliFileCommands() {
    return kCommands;
}

const CliFileCommand* findCliFileCommand(const QString& name) {
    for (const CliFileCommand& command : kCommands) {
        if (name == QLatin1String(command.name)) {
            return &command;
        }
    }
    return nullptr;
}

bool runCliFileCommand(const CliRequest& request, const QString& dataFolder, QTextStream& out,
                       QTextStream& err, int& code) {
    const CliFileCommand* command = findCliFileCommand(request.command);
    if (command == nullptr) {
        return false;
    }
    code = command->run(request, dataFolder, out, err);
    out.flush();
    err.flush();
    return true;
}

}  // namespace tarquel
