// The memory commands and the identification on arbitrary answers: every command the PC sends is
// answered with the next slice of the input. Each operation must end in a failure or a well-formed
// result, never a crash or an exception.
#include "platform/Errors.h"
#include "platform/FakeSerialPort.h"
#include "platform/MessageBoxes.h"
#include "platform/VirtualClock.h"
#include "support/ScriptedPeer.h"
#include "unitlink/HexText.h"
#include "unitlink/SharedState.h"
#include "unitlink/StdUnitAccess.h"
#include "unitlink/UnitLink.h"

#include <cstddef>
#include <cstdint>

namespace {

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarquel;
    VirtualClock clock;
    FakePortSystem ports{clock};
    test::ScriptedPeer unit;
    // Slices: a length byte, then that many answer bytes.
    size_t at = 0;
    unit.onReceive([&](const QByteArray&) {
        if (at >= size) {
            return QByteArray();
        }
        const size_t n = std::min<size_t>(data[at] % 48, size - at - 1);
        const QByteArray answer(reinterpret_cast<const char*>(data + at + 1),
                                static_cast<qsizetype>(n));
        at += 1 + n;
        return answer;
    });
    ports.addPort(1, &unit);
    FakeSerialPort port{ports};
    port.setCommPort(1);
    port.setPortOpen(true);
    SharedState state;
    ScriptedMessageBoxes boxes;
    StdUnitAccess access(clock, boxes, state.unitMap);
    UnitLink link(port, access, state);
    try {
        QString idText;
        bool isB600 = false;
        if (access.IdentifyUnit(port, idText, isB600)) {
            check(!idText.isEmpty());
        }
        const QString word = access.ReadUnitWord(port, QStringLiteral("B608"));
        check(word == QStringLiteral("Error") || (word.size() == 4 && IsHexString(word)));
        QString checksum;
        if (access.ReadChecksumByte(port, checksum)) {
            check(!checksum.isEmpty());
        }
        if (link.fInit(true)) {
            check(link.unitAddresses().addressesSet);
            QString selection;
            if (link.fGetChannels(selection)) {
                check(!selection.isEmpty());
            }
        }
    } catch (const RuntimeError&) {
        // A failed conversion is a result the callers handle; only crashes count here.
    }
    return 0;
}
