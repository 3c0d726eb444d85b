#pragma once

#include <QString>

namespace tarquel {

// The program's data folder, where the EEPROM backups and the records are kept: the folder named
// by the environment variable TARQUEL_DATA_DIR when it is set, else the application data folder
// of the platform (on Linux ~/.local/share/Tarquel).
QString dataFolder();

}  // namespace tarquel
