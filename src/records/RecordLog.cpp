#include "records/RecordLog.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>

namespace tarquel {

RecordLog::RecordLog(const QString& dataFolder)
    : folder_(dataFolder), path_(dataFolder + QStringLiteral("/records.jsonl")) {}

bool RecordLog::append(const QJsonObject& record, QString& error) const {
    if (!QDir().mkpath(folder_)) {
        error = QStringLiteral("the folder ") + folder_ + QStringLiteral(" cannot be made");
        return false;
    }
    QFile file(path_);
    const QByteArray line = QJsonDocument(record).toJson(QJsonDocument::Compact) + '\n';
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(line) != line.size() ||
        !file.flush()) {
        error = file.errorString();
        return false;
    }
    return true;
}

std::vector<QJsonObject> RecordLog::readAll(int* unreadable) const {
    std::vector<QJsonObject> records;
    int bad = 0;
    QFile file(path_);
    if (file.open(QIODevice::ReadOnly)) {
        while (!file.atEnd()) {
            const QByteArray line = file.readLine().trimmed();
            if (line.isEmpty()) {
                continue;
            }
            const QJsonDocument document = QJsonDocument::fromJson(line);
            if (document.isObject()) {
                records.push_back(document.object());
            } else {
                ++bad;
            }
        }
    }
    std::reverse(records.begin(), records.end());
    if (unreadable != nullptr) {
        *unreadable = bad;
    }
    return records;
}

}  // namespace tarquel
