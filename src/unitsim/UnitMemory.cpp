#include "unitsim/UnitMemory.h"

namespace tarquel::unitsim {

namespace {
constexpr int kMemorySize = 0x10000;
constexpr int kChannelByteCount = 5;
}  // namespace

UnitMemory::UnitMemory(const UnitLayout& layout) : layout_(layout), bytes_(kMemorySize, 0) {
    // Unprogrammed EEPROM cells read as erased (FF).
    for (int a = layout_.mapFirst; a <= layout_.checksumAddress; ++a) {
        setByte(a, 0xFF);
    }
}

quint16 UnitMemory::word(int address) const {
    return static_cast<quint16>(byte(address) << 8 | byte(address + 1));
}

void UnitMemory::setWord(int address, quint16 value) {
    setByte(address, static_cast<quint8>(value >> 8));
    setByte(address + 1, static_cast<quint8>(value & 0xFF));
}

quint8 UnitMemory::computeChecksum() const {
    unsigned sum = 0;
    for (int a = layout_.mapFirst; a <= layout_.mapLast; ++a) {
        sum += byte(a);
    }
    return static_cast<quint8>((0x100 - (sum & 0xFF)) & 0xFF);
}

QByteArray UnitMemory::channelSelection() const {
    QByteArray selection;
    for (int i = 0; i < kChannelByteCount; ++i) {
        selection.append(static_cast<char>(byte(layout_.channelBytes + i)));
    }
    return selection;
}

void UnitMemory::setChannelSelection(const QByteArray& fiveBytes) {
    for (int i = 0; i < kChannelByteCount; ++i) {
        const quint8 value = i < fiveBytes.size() ? static_cast<quint8>(fiveBytes[i]) : 0;
        setByte(layout_.channelBytes + i, value);
    }
}

void UnitMemory::writeIdentification(const QStringList& strings) {
    int address = layout_.idAddress;
    for (const QString& text : strings) {
        QByteArray bytes = text.toLatin1();
        bytes.replace('\0', ' ');
        if (bytes.size() % 2 == 0) {
            bytes.append(' ');
        }
        for (const char c : bytes) {
            setByte(address++, static_cast<quint8>(c));
        }
        setByte(address++, 0);
    }
    setByte(address, 0xFF);
}

}  // namespace tarquel::unitsim
