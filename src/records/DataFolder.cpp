#include "records/DataFolder.h"

#include <QStandardPaths>

namespace tarquel {

QString dataFolder() {
    const QString chosen = qEnvironmentVariable("TARQUEL_DATA_DIR");
    if (!chosen.isEmpty()) {
        return chosen;
    }
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

}  // namespace tarquel
