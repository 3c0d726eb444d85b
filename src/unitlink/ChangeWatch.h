#pragma once

#include <QJsonObject>
#include <QString>

namespace tarquel {

// What one operation did to a unit's EEPROM, as it is recorded.
struct ChangeRecord {
    QString operation;    // "calibration", "north-alignment", ... (the backup's operation names)
    QString outcome;      // "done", "not-verified", "failed" or "refused"
    QJsonObject changes;  // what changed, in the operation's own terms
};

// Watches every change the program makes to a unit's EEPROM: it is asked before the first word
// of an operation is changed (and keeps a backup then), and told how the operation ended.
class ChangeWatch {
public:
    virtual ~ChangeWatch() = default;
    // Called with the unit identified, just before an operation changes the first word;
    // progressText is the operation's progress message, shown again afterwards. False: the
    // operation must leave the unit as it is.
    virtual bool beforeChange(const QString& operation, const QString& progressText) = 0;
    virtual void changeDone(const ChangeRecord& record) = 0;
};

}  // namespace tarquel
