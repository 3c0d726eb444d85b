#include "unitlink/UnitMap.h"

namespace tarquel {

void SetUnitMap(UnitMap& unitMap, bool isB600Family, const QString& idText) {
    unitMap.identified = true;
    unitMap.idText = idText;
    if (isB600Family) {
        unitMap.mapBase = QStringLiteral("B600");
        unitMap.lastPage = 0;
        unitMap.checksumAddress = QStringLiteral("B7FF");
        unitMap.accessAddress = QStringLiteral("000C");
        unitMap.accessHighByteOnly = false;
    } else {
        unitMap.mapBase = QStringLiteral("1600");
        unitMap.lastPage = 2;
        unitMap.checksumAddress = QStringLiteral("18FF");
        unitMap.accessAddress = QStringLiteral("200E");
        unitMap.accessHighByteOnly = true;
    }
}

UnitAddresses unitAddressesFor(bool isB600Family) {
    UnitAddresses a;
    a.isB600Family = isB600Family;
    a.is1600Family = !isB600Family;
    a.addressesSet = true;
    if (isB600Family) {
        a.configWord = QStringLiteral("0000");
        a.channelWord = QStringLiteral("0002");
        a.settingsWordA = QStringLiteral("B608");
        a.settingsWordB = QStringLiteral("B60E");
        a.headingOffsetWord = QStringLiteral("B688");
        a.xBiasWord = QStringLiteral("B68C");
        a.xGainWord = QStringLiteral("B68E");
        a.yBiasWord = QStringLiteral("B69C");
        a.yGainWord = QStringLiteral("B69E");
        a.zBiasWord = QStringLiteral("B6AC");
        a.zGainWord = QStringLiteral("B6AE");
        a.northRotationWord = QStringLiteral("B68A");
    } else {
        a.configWord = QStringLiteral("2000");
        a.channelWord = QStringLiteral("2002");
        a.settingsWordA = QStringLiteral("1608");
        a.settingsWordB = QStringLiteral("160E");
        a.headingOffsetWord = QStringLiteral("16BC");
        a.xBiasWord = QStringLiteral("16B0");
        a.xGainWord = QStringLiteral("16B2");
        a.yBiasWord = QStringLiteral("16B4");
        a.yGainWord = QStringLiteral("16B6");
        a.zBiasWord = QStringLiteral("16B8");
        a.zGainWord = QStringLiteral("16BA");
        a.northRotationWord = QStringLiteral("16BE");
    }
    return a;
}

}  // namespace tarquel
