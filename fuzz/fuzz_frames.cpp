// The live receive path on arbitrary received bytes, in decimal and in binary output: frames cut
// at carriage returns, decoded, smoothed and shown. The first input byte chooses the format and
// how the rest arrives (chunk length, time between chunks). Nothing may escape or crash, and the
// seven values are blank or a number with its unit.
#include "FakeCalModeCommands.h"
#include "LiveFakes.h"
#include "RecordingGauge.h"
#include "livedata/LiveDataSession.h"
#include "platform/FakeSerialPort.h"
#include "platform/MessageBoxes.h"
#include "platform/VirtualClock.h"
#include "support/MemoryPeer.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace {

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

bool wellFormedValue(const QString& text) {
    if (text.isEmpty() || text == QStringLiteral("(design)")) {
        return true;  // blank, or never written (the fake window's design text)
    }
    // "+250 mg", "007.6 dg", "-1.2e03 mg": a number, a space and a unit of two letters.
    const qsizetype space = text.lastIndexOf(QLatin1Char(' '));
    return space > 0 && text.size() - space == 3;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarquel;
    if (size < 1) {
        return 0;
    }
    const uint8_t control = data[0];
    VirtualClock clock;
    FakePortSystem ports{clock};
    test::MemoryPeer unit;
    ports.addPort(1, &unit);
    FakeSerialPort port{ports};
    port.setCommPort(1);
    port.setPortOpen(true);
    port.setRThreshold(1);
    SharedState state;
    state.dataFormat = (control & 1) != 0 ? DataFormat::Binary : DataFormat::Decimal;
    ScriptedMessageBoxes boxes;
    test::RecordingGauge gauge;
    test::FakeLiveView view;
    test::FakeInfoWindow infoWindow;
    test::FakeCalModeCommands modes;
    LiveDataSession live(
        LiveDataWiring{state, port, clock, boxes, modes, gauge, view, view, infoWindow});

    const size_t chunk = 1 + ((control >> 1) & 0x3F);
    const int gapMs = (control >> 7) != 0 ? 120 : 1;
    for (size_t at = 1; at < size; at += chunk) {
        const size_t n = std::min(chunk, size - at);
        port.feed(QByteArray(reinterpret_cast<const char*>(data + at), static_cast<qsizetype>(n)));
        clock.runFor(gapMs);
    }
    clock.runFor(60);  // the last display update
    for (int slot = 0; slot < 7; ++slot) {
        const QString caption = live.display().dataBoxCaption(slot);
        if (!wellFormedValue(caption)) {
            std::fprintf(stderr, "value %d shown as \"%s\"\n", slot, qPrintable(caption));
            check(false);
        }
    }
    return 0;
}
