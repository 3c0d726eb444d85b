#pragma once

#include <QJsonObject>
#include <QString>
#include <vector>

namespace tarquel {

// records.jsonl in the data folder: one JSON object per line, one line per change made to a unit.
// Lines are only ever appended.
class RecordLog {
public:
    explicit RecordLog(const QString& dataFolder);

    const QString& path() const { return path_; }
    // Appends the record as one line; false with error set when the file cannot be written.
    bool append(const QJsonObject& record, QString& error) const;
    // The records, newest first. Lines that are not JSON objects are passed over and counted in
    // *unreadable.
    std::vector<QJsonObject> readAll(int* unreadable = nullptr) const;

private:
    QString folder_;
    QString path_;
};

}  // namespace tarquel
