#include "unitsim/UnitLayout.h"

namespace tarquel::unitsim {

UnitLayout UnitLayout::of(MapFamily family) {
    UnitLayout l;
    l.family = family;
    if (family == MapFamily::B600) {
        l.mapFirst = 0xB600;
        l.mapLast = 0xB6FF;
        l.checksumAddress = 0xB7FF;
        l.idAddress = 0xC000;
        l.accessWord = 0x000C;
        l.configWord = 0x0000;
        l.channelBytes = 0x0002;
        l.settingsWordA = 0xB608;
        l.settingsWordB = 0xB60E;
        l.headingOffsetWord = 0xB688;
        l.northRotationWord = 0xB68A;
        l.xBiasWord = 0xB68C;
        l.xGainWord = 0xB68E;
        l.yBiasWord = 0xB69C;
        l.yGainWord = 0xB69E;
        l.zBiasWord = 0xB6AC;
        l.zGainWord = 0xB6AE;
        l.shortAddressDigits = 2;
        l.shortAddressBase = 0xB600;
        l.biasPerCount = 3.0 / 32.768;
        l.gainPercentPerCount = 1.0 / 327.68;
    } else {
        l.mapFirst = 0x1600;
        l.mapLast = 0x18FE;
        l.checksumAddress = 0x18FF;
        l.idAddress = 0x4000;
        l.accessWord = 0x200E;
        l.configWord = 0x2000;
        l.channelBytes = 0x2002;
        l.settingsWordA = 0x1608;
        l.settingsWordB = 0x160E;
        l.headingOffsetWord = 0x16BC;
        l.northRotationWord = 0x16BE;
        l.xBiasWord = 0x16B0;
        l.xGainWord = 0x16B2;
        l.yBiasWord = 0x16B4;
        l.yGainWord = 0x16B6;
        l.zBiasWord = 0x16B8;
        l.zGainWord = 0x16BA;
        l.revisionWord = 0x16EA;
        l.unansweredFrom = 0xC000;
        l.shortAddressDigits = 3;
        l.shortAddressBase = 0x1000;
        l.biasPerCount = 1.5 / 32.768;
        l.gainPercentPerCount = 2.0 / 327.68;
    }
    return l;
}

bool UnitLayout::accessGranted(quint16 accessWordValue) const {
    const int high = accessWordValue >> 8;
    const int low = accessWordValue & 0xFF;
    if (family == MapFamily::B600) {
        return high == 0x3A || low == 0x3A;
    }
    return high == 0x2E;
}

QString familyName(MapFamily family) {
    return family == MapFamily::B600 ? QStringLiteral("b600") : QStringLiteral("1600");
}

}  // namespace tarquel::unitsim
