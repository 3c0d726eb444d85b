// The unit memory protocol and the identification on arbitrary answers, in virtual time: every
// write the PC makes to the unit is answered with the next slice of the input.
//
// Input: a control byte, two address bytes, then the slices. Control bit 0: the port starts
// closed (the routines open and close it themselves); bit 1: the first read gets a malformed
// address. A slice is a header byte h, then h & 7 answer bytes sent (h >> 3) * 7 ms after the
// write (0 to 217 ms: before and after the 20 ms read pause and the 100 ms answer wait). Once the
// input is used up the unit is silent.
//
// Run: a word read at the input's address, IdentifyUnit, ReadChecksumByte, an identifying fInit
// and the channel read. A word read gives "Error" exactly when fewer than two bytes came after the
// address went out, and otherwise those two bytes as four hex digits; an identification gives the
// family's addresses and a text with the identifying keywords; the checksum and channel reads ask
// the family's addresses. No exception may escape.
#include "platform/FakeSerialPort.h"
#include "platform/MessageBoxes.h"
#include "platform/ScriptedPeer.h"
#include "platform/VirtualClock.h"
#include "unitlink/HexText.h"
#include "unitlink/StdUnitAccess.h"
#include "unitlink/UnitLink.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <utility>
#include <vector>

namespace tarquel {
namespace {

[[noreturn]] void fail(const char* what, const QString& detail = QString()) {
    std::fprintf(stderr, "fuzz_unit_answers: %s \"%s\"\n", what, qPrintable(detail));
    __builtin_trap();
}

void check(bool condition, const char* what, const QString& detail = QString()) {
    if (!condition) {
        fail(what, detail);
    }
}

QString hexOf(quint8 high, quint8 low) {
    return QStringLiteral("%1").arg(high * 256 + low, 4, 16, QLatin1Char('0')).toUpper();
}

bool upperHex(const QString& text, qsizetype length) {
    return text.size() == length && IsHexString(text) && text == text.toUpper();
}

// The unit: answers each write with the next input slice, and follows the read command so that
// the harness knows the address asked last and every byte sent since. The scripted peer keeps the
// schedule of slices.
class SliceUnit : public ScriptedPeer {
public:
    SliceUnit(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    void receive(const QByteArray& bytes, qint64 nowMs, int /*pcBaud*/) override {
        if (readPending_ && bytes.size() == 2) {
            lastAddress_ = hexOf(static_cast<quint8>(bytes[0]), static_cast<quint8>(bytes[1]));
            addresses_.push_back(lastAddress_);
            sinceAddress_.clear();
        }
        readPending_ = bytes == QByteArray(1, '\x7D');
        if (at_ >= size_) {
            return;
        }
        const uint8_t header = data_[at_++];
        const size_t n = std::min<size_t>(header & 7, size_ - at_);
        sendAt(nowMs + (header >> 3) * 7,
               QByteArray(reinterpret_cast<const char*>(data_ + at_), static_cast<qsizetype>(n)));
        at_ += n;
    }

    QByteArray transmit(qint64 nowMs, int pcBaud) override {
        const QByteArray due = ScriptedPeer::transmit(nowMs, pcBaud);
        sinceAddress_ += due;
        return due;
    }

    const QString& lastAddress() const { return lastAddress_; }
    const std::vector<QString>& addresses() const { return addresses_; }
    const QByteArray& sinceAddress() const { return sinceAddress_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
    bool readPending_ = false;
    QString lastAddress_;
    std::vector<QString> addresses_;
    QByteArray sinceAddress_;
};

void checkFamily(const UnitMap& map, bool isB600Family) {
    check(map.identified, "map not filled");
    check(map.mapBase == (isB600Family ? QStringLiteral("B600") : QStringLiteral("1600")),
          "map base", map.mapBase);
    check(map.checksumAddress == (isB600Family ? QStringLiteral("B7FF") : QStringLiteral("18FF")),
          "checksum address", map.checksumAddress);
    check(map.accessAddress == (isB600Family ? QStringLiteral("000C") : QStringLiteral("200E")),
          "access address", map.accessAddress);
    check(map.lastPage == (isB600Family ? 0 : 2), "last page");
}

void checkIdText(const QString& text, bool isB600Family) {
    for (const char* keyword : {"version", "copyright", "corvane industries"}) {
        check(text.contains(QLatin1String(keyword), Qt::CaseInsensitive), "id text", text);
    }
    if (!isB600Family) {
        check(text.at(0).unicode() == 255 && text.contains(QLatin1String("Rev ")), "1600 id text",
              text);
    }
}

}  // namespace
}  // namespace tarquel

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarquel;
    if (size < 3) {
        return 0;
    }
    const bool startsClosed = (data[0] & 1) != 0;
    const bool badAddress = (data[0] & 2) != 0;
    const QString address = hexOf(data[1], data[2]);

    VirtualClock clock;
    FakePortSystem ports{clock};
    SliceUnit unit(data + 3, size - 3);
    ports.addPort(1, &unit);
    FakeSerialPort port{ports};
    port.setCommPort(1);
    port.setPortOpen(!startsClosed);
    ScriptedMessageBoxes boxes;
    UnitLink link(port, clock, boxes);
    StdUnitAccess& access = link.access();
    const UnitMap& unitMap = access.unitMap();
    try {
        // One word.
        const QString word = access.ReadUnitWord(port, badAddress ? address.left(3) : address);
        if (badAddress) {
            check(word == kReadError && ports.writes().empty() && boxes.shown().size() == 1,
                  "malformed address", word);
        } else {
            const QByteArray after = unit.sinceAddress();
            check(unit.lastAddress() == address, "address sent", unit.lastAddress());
            check(word == (after.size() < 2 ? kReadError
                                            : hexOf(static_cast<quint8>(after[0]),
                                                    static_cast<quint8>(after[1]))),
                  "word read", word);
        }
        check(port.portOpen() == !startsClosed, "port left open or closed");

        // Identification; the map is fixed by the first success.
        QString idText;
        bool isB600Family = false;
        const bool identified = access.IdentifyUnit(port, idText, isB600Family);
        check(identified == unitMap.identified, "map filled without identification");
        if (identified) {
            checkIdText(idText, isB600Family);
            checkFamily(unitMap, isB600Family);
        }

        // The checksum byte, which identifies first when needed.
        QString checksum;
        if (access.ReadChecksumByte(port, checksum)) {
            check(unitMap.identified, "checksum read without identification");
            check(upperHex(checksum, 2), "checksum byte", checksum);
            check(unit.lastAddress() == unitMap.checksumAddress, "checksum read at",
                  unit.lastAddress());
        }

        // The main window's identification and the channel read on its address table.
        if (link.fInit(true)) {
            const UnitAddresses& a = link.unitAddresses();
            const UnitAddresses expected = unitAddressesFor(a.isB600Family);
            check(a.addressesSet && a.is1600Family == !a.isB600Family, "address table");
            check(a.channelWord == expected.channelWord && a.configWord == expected.configWord &&
                      a.settingsWordA == expected.settingsWordA &&
                      a.northRotationWord == expected.northRotationWord,
                  "family addresses", a.channelWord);
            checkIdText(link.idText(), a.isB600Family);

            const size_t readsBefore = unit.addresses().size();
            QString selection;
            if (link.fGetChannels(selection)) {
                check(upperHex(selection, 10), "channel selection", selection);
                check(a.is1600Family || selection.endsWith(QStringLiteral("00")), "B600 selection",
                      selection);
                const std::vector<QString>& asked = unit.addresses();
                check(asked.size() == readsBefore + 3, "channel reads");
                const int base = a.channelWord.toInt(nullptr, 16);
                for (int i = 0; i < 3; ++i) {
                    const QString& askedAddress = asked[readsBefore + static_cast<size_t>(i)];
                    check(askedAddress.toInt(nullptr, 16) == base + 2 * i, "channel word address",
                          askedAddress);
                }
            }
        }
        if (unitMap.identified) {
            // Whatever later identifications found, the map keeps the first family's addresses.
            checkFamily(unitMap, unitMap.mapBase == QStringLiteral("B600"));
            check(!identified || unitMap.idText == idText, "map changed", idText);
        }
        check(port.portOpen() == !startsClosed, "port left open or closed");
    } catch (const std::exception& error) {
        fail("exception escaped", QString::fromLocal8Bit(error.what()));
    } catch (...) {
        fail("exception escaped");
    }
    return 0;
}
