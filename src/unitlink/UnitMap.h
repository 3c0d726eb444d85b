#pragma once

#include <QString>

namespace tarquel {

// Addresses the unit-access routines use (write access, checksum, map reading), fixed by the
// first successful identification of the run.
struct UnitMap {
    bool identified = false;
    QString mapBase;          // "B600" or "1600"
    int lastPage = 0;         // map pages 0 to lastPage, 256 bytes each
    QString checksumAddress;  // "B7FF" or "18FF"
    QString idText;
    QString accessAddress;  // "000C" or "200E"
    bool accessHighByteOnly = false;
};

// Fills unitMap for the family found.
void SetUnitMap(UnitMap& unitMap, bool isB600Family, const QString& idText);

// Addresses of the configuration, channel, setting and calibration words the main window's
// functions use. Refilled by every identifying fInit.
struct UnitAddresses {
    bool isB600Family = false;
    bool is1600Family = false;
    QString configWord;
    QString channelWord;
    QString settingsWordA;
    QString settingsWordB;
    QString headingOffsetWord;
    QString xBiasWord;
    QString xGainWord;
    QString yBiasWord;
    QString yGainWord;
    QString zBiasWord;
    QString zGainWord;
    QString northRotationWord;
    bool addressesSet = false;
};

// The whole column of one family.
UnitAddresses unitAddressesFor(bool isB600Family);

}  // namespace tarquel
