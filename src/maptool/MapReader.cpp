#include "maptool/MapReader.h"

#include "maptool/MapFile.h"
#include "platform/Errors.h"

namespace tarquel {

namespace {

// Clears the percentage however the read ends.
class ProgressShown {
public:
    explicit ProgressShown(ProgressWindow* progress) : progress_(progress) {}
    ~ProgressShown() {
        if (progress_ != nullptr) {
            progress_->setProcessProgress(0, 0);
        }
    }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;

    void show(int done, int total) {
        if (progress_ != nullptr) {
            progress_->setProcessProgress(done, total);
        }
    }

private:
    ProgressWindow* progress_;
};

QString hex(int value, int digits) {
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

bool ReadEEPROMMap(StdUnitAccess& access, SerialPort& port, ProgressWindow* progress,
                   EEPROMMap& map, bool& isB600Family) {
    if (!port.portOpen()) {
        access.boxes().show({QStringLiteral("To retrieve a live EEPROM Map, the unit must be "
                                            "communicating to the software on an open comm port."),
                             QStringLiteral("Comm Port not open or Unit not Communitcating!"),
                             MsgIcon::Critical, MsgButtons::OK});
        return false;
    }
    const UnitMap& unitMap = access.unitMap();
    if (!unitMap.identified) {
        return false;
    }
    try {
        const int first = unitMap.mapBase.left(2).toInt(nullptr, 16);
        const int pages = std::max(unitMap.lastPage, 0) + 1;
        const int total = pages * kWordsPerPage;
        ProgressShown shown(progress);
        shown.show(0, total);
        EEPROMMap read(static_cast<size_t>(pages));
        int done = 0;
        for (int p = 0; p < pages; ++p) {
            const QString prefix = hex(first + p, 2);
            for (int r = 0; r < kMapRows; ++r) {
                for (int c = 0; c < kMapColumns; c += 2) {
                    const QString word = access.ReadUnitWord(port, prefix + hex(r, 1) + hex(c, 1));
                    if (word == kReadError) {
                        access.boxes().show({QStringLiteral("An error was returned while "
                                                            "retrieving the EEPROM Map. Please "
                                                            "check communications and re-try."),
                                             QStringLiteral("Error Reading EEPROM Map!"),
                                             MsgIcon::Critical, MsgButtons::OK});
                        return false;
                    }
                    MapPage& page = read[static_cast<size_t>(p)];
                    page.cell(r, c) = word.left(2);
                    page.cell(r, c + 1) = word.right(2);
                    shown.show(++done, total);
                }
            }
        }
        map = std::move(read);
        isB600Family = !unitMap.accessHighByteOnly;
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

QString BuildEEPROMMapFile(StdUnitAccess& access, SerialPort& port, ProgressWindow* progress) {
    QString idText;
    bool isB600Family = false;
    if (!access.IdentifyUnit(port, idText, isB600Family)) {
        return kReadError;
    }
    return IdentifiedUnitMapFile(access, port, progress);
}

QString IdentifiedUnitMapFile(StdUnitAccess& access, SerialPort& port, ProgressWindow* progress) {
    bool isB600Family = false;
    EEPROMMap map;
    QString checksum;
    if (!access.unitMap().identified || !ReadEEPROMMap(access, port, progress, map, isB600Family) ||
        !access.ReadChecksumByte(port, checksum)) {
        return kReadError;
    }
    return EEPROMMapFileText(access.unitMap().idText, FormatEEPROMMap(map, access.unitMap()),
                             checksum);
}

}  // namespace tarquel
