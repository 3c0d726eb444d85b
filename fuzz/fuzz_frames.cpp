// The live receive path end to end on arbitrary received bytes, in decimal and in binary output:
// a LiveDataSession on a fake port in virtual time, the bytes arriving in up to four chunks.
//
// Input: six control bytes, then the received bytes.
//   0     bit 0 binary format, 1 pendulum mode, 2 a test runs, 3 Enter Data enabled,
//         4 the frame count starts just below its wrap
//   1, 2  per chunk (chunk k in bits 4k..4k+3 of byte 1 then byte 2): bits 0-2 how it arrives
//         (see deliver()), bit 3 the data terminal is visible meanwhile
//   3-5   the three split points, as fractions of the received bytes (/255)
//
// After every chunk: the seven values are blank or a number in their slot's picture with its unit;
// the frame count caption is a count that never goes down (unless it wrapped) and grows by at most
// one per carriage return read while the terminal was hidden; the frame rate caption is a rate; the
// terminal got exactly the bytes read while it was visible, and the frame buffer did not change
// meanwhile. At the end the window's labels show the latest captions, and bytes without a frame
// header never gave values. No exception may escape.
#include "livedata/LiveDataSession.h"
#include "platform/FakeSerialPort.h"
#include "platform/MessageBoxes.h"
#include "platform/VirtualClock.h"
#include "support/RecordingViews.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>

namespace tarquel {
namespace {

[[noreturn]] void fail(const char* what, const QString& detail = QString()) {
    std::fprintf(stderr, "fuzz_frames: %s \"%s\"\n", what, qPrintable(detail));
    __builtin_trap();
}

void check(bool condition, const char* what, const QString& detail = QString()) {
    if (!condition) {
        fail(what, detail);
    }
}

// Digits from `at` on; returns how many.
qsizetype digitsAt(const QString& text, qsizetype at) {
    qsizetype n = 0;
    while (at + n < text.size() && text[at + n].isDigit() && text[at + n].unicode() < 128) {
        ++n;
    }
    return n;
}

// A channel caption in its slot's picture: "+012 mg" (slots 0-2), "-05.3 dg" (3-4), "007.5 dg"
// (5-6, a minus only for negative values). More integer digits are allowed, never fewer.
bool wellFormedValue(int slot, const QString& text) {
    if (text.isEmpty()) {
        return true;
    }
    const bool signed_ = slot <= 4;
    const int integerDigits = slot <= 2 ? 3 : slot <= 4 ? 2 : 3;
    const int decimals = slot <= 2 ? 0 : 1;
    const QString unit = slot <= 2 ? QStringLiteral(" mg") : QStringLiteral(" dg");
    qsizetype at = 0;
    if (signed_) {
        if (text[0] != u'+' && text[0] != u'-') {
            return false;
        }
        at = 1;
    } else if (text[0] == u'-') {
        at = 1;
    }
    const qsizetype whole = digitsAt(text, at);
    if (whole < integerDigits) {
        return false;
    }
    at += whole;
    if (decimals > 0) {
        if (at >= text.size() || text[at] != u'.' || digitsAt(text, at + 1) != decimals) {
            return false;
        }
        at += 1 + decimals;
    }
    return text.mid(at) == unit;
}

// The count a frame count caption stands for ("0" before the first frame, "1.234e03"), or -1.
qint64 frameCountOf(const QString& text) {
    if (text == QStringLiteral("0")) {
        return 0;
    }
    const qsizetype e = text.indexOf(u'e');
    if (e < 4 || text.size() != e + 3 || text[1] != u'.' || digitsAt(text, 0) != 1 ||
        digitsAt(text, 2) != e - 2 || digitsAt(text, e + 1) != 2 || text[0] == u'0') {
        return -1;
    }
    const QString mantissa = text.left(1) + text.mid(2, e - 2);
    const int exponent = text.mid(e + 1).toInt();
    const qsizetype fraction = mantissa.size() - 1;
    if (fraction > exponent) {
        // Decimals beyond the exponent would make a fraction; only trailing padding zeros may.
        if (mantissa.sliced(1 + exponent).count(u'0') != fraction - exponent) {
            return -1;
        }
        return mantissa.left(1 + exponent).toLongLong();
    }
    qint64 value = mantissa.toLongLong();
    for (qsizetype i = fraction; i < exponent; ++i) {
        value *= 10;
    }
    return value;
}

bool wellFormedRate(const QString& text) {
    const QString suffix = QStringLiteral(" Frames/Sec");
    if (!text.endsWith(suffix)) {
        return false;
    }
    const QString number = text.chopped(suffix.size());
    const qsizetype whole = digitsAt(number, 0);
    if (whole == 0) {
        return false;
    }
    return whole == number.size() || (number[whole] == u'.' && digitsAt(number, whole + 1) == 1 &&
                                      number.size() == whole + 2);
}

struct Terminal : TerminalSink {
    void ProcessData(const QString& text) override { received += text; }
    QString received;
};

// The mode commands as the menu runs them: the calibration mode changes.
struct ModeSwitch : CalModeCommands {
    CalMode calMode() const override { return mode; }
    void selectCalMode(CalMode selected) override { mode = selected; }
    CalMode mode = CalMode::Accelerometer;
};

struct Test : TestStatus {
    bool testRunning() const override { return running; }
    bool running = false;
};

class Rig {
public:
    explicit Rig(uint8_t flags) {
        ports.addPort(1);
        port.setCommPort(1);
        port.setPortOpen(true);
        link.setDataFormat((flags & 1) != 0 ? DataFormat::Binary : DataFormat::Decimal);
        modes.mode = (flags & 2) != 0 ? CalMode::Pendulum : CalMode::Accelerometer;
        test.running = (flags & 4) != 0;
        view.enabled[CalControl::btnGetData] = (flags & 8) != 0;
        view.dataBoxes.fill(QString());
        live = std::make_unique<LiveDataSession>(
            LiveDataWiring{link, clock, heading, modes, view, view, view, view, boxes});
        live->setTestStatus(&test);
        live->start();
        live->receivePath().setTerminalSink(&terminal);
        if ((flags & 16) != 0) {
            startCount_ = FrameDecoder::kFrameCountWrap - 1;
            live->decoder().setFrameCount(static_cast<qint32>(startCount_));
            lastCount_ = startCount_;
        }
    }

    // One chunk arriving in one of eight ways, then the invariants.
    void deliver(const QByteArray& chunk, int how, bool terminalVisible) {
        live->receivePath().setTerminalVisible(terminalVisible);
        const QByteArray waiting =
            port.inBufferCount() > 0 ? model_.right(port.inBufferCount()) : QByteArray();
        const qsizetype terminalBefore = terminal.received.size();
        const QString frameBufferBefore = live->assembler().frameBuffer();
        switch (how) {
            case 0:  // all at once, one pass of the event loop
            case 1:  // all at once, then a millisecond
                port.feed(chunk);
                clock.runFor(how);
                break;
            case 2:  // one byte per event, no time passing: past 301 events bytes wait
            case 3:  // one byte a millisecond
                for (const char byte : chunk) {
                    port.feed(QByteArray(1, byte));
                    clock.runFor(how - 2);
                }
                break;
            case 4:  // then one display interval
                port.feed(chunk);
                clock.runFor(DisplayThrottle::kDisplayIntervalMs);
                break;
            case 5:  // then past the event-count period
                port.feed(chunk);
                clock.runFor(ReceivePath::kEventPeriodMs + 20);
                break;
            case 6:  // then long enough for the silence check
                port.feed(chunk);
                clock.runFor(2 * ReceivePath::kSilenceCheckMs + 10);
                break;
            default:  // in two halves, an event each
                port.feed(chunk.left(chunk.size() / 2));
                clock.doEvents();
                port.feed(chunk.mid(chunk.size() / 2));
                clock.doEvents();
                break;
        }
        fed_ += chunk;

        // The port is first in, first out: what was read is the waiting bytes and the chunk less
        // what still waits.
        model_ = waiting + chunk;
        const qsizetype stillWaiting = port.inBufferCount();
        const QByteArray read = model_.left(model_.size() - stillWaiting);
        const QString toTerminal = terminal.received.mid(terminalBefore);
        if (terminalVisible) {
            check(toTerminal == QString::fromLatin1(read), "terminal text", toTerminal);
            check(live->assembler().frameBuffer() == frameBufferBefore, "frame buffer changed");
        } else {
            check(toTerminal.isEmpty(), "terminal got text while hidden", toTerminal);
            crsRead_ += read.count('\r');
        }
        checkCaptions();
    }

    void checkCaptions() {
        for (int slot = 0; slot < 7; ++slot) {
            const QString caption = live->display().dataBoxCaption(slot);
            check(wellFormedValue(slot, caption), "value caption", caption);
        }
        check(!live->assembler().frameBuffer().contains(u'\r'), "carriage return kept");
        const QString countCaption = live->display().frameCountCaption();
        const qint64 count = frameCountOf(countCaption);
        check(count >= 0, "frame count caption", countCaption);
        if (countCaption == QStringLiteral("0")) {
            // Before the first frame (counts shown start at 1).
            check(lastCount_ == startCount_, "count caption back to 0");
        } else if (count != lastCount_) {
            // At most one frame per carriage return read since the count last changed.
            const qint64 returns = crsRead_ - crsAtLastCount_;
            if (count < lastCount_) {
                // Only the wrap takes the count down, and then to the frames counted after it.
                check(lastCount_ + returns > FrameDecoder::kFrameCountWrap && count <= returns,
                      "frame count went down", countCaption);
            } else {
                check(count - lastCount_ <= returns, "more frames than carriage returns",
                      countCaption);
            }
            lastCount_ = count;
            crsAtLastCount_ = crsRead_;
        }
        const QString rate = live->display().frameRateCaption();
        check(wellFormedRate(rate), "frame rate caption", rate);
    }

    // With the silence timers stopped only the display timer runs: after one interval the window
    // shows what the decoder last wrote.
    void finish() {
        live->receivePath().Timer1().setEnabled(false);
        live->receivePath().DataNotReceivedTimer().setEnabled(false);
        clock.runFor(DisplayThrottle::kDisplayIntervalMs + 1);
        for (int slot = 0; slot < 7; ++slot) {
            check(view.dataBoxes.at(static_cast<std::size_t>(slot)) ==
                      live->display().dataBoxCaption(slot),
                  "window value behind", view.dataBoxes.at(static_cast<std::size_t>(slot)));
        }
        check(view.frameCount == live->display().frameCountCaption(), "window count behind",
              view.frameCount);
        check(view.frameRate == live->display().frameRateCaption(), "window rate behind",
              view.frameRate);
        // Binary output and other text without a frame header never give values. A carriage
        // return after fewer than four characters is dropped, so the header may span one.
        const QByteArray joined = QByteArray(fed_).replace('\r', QByteArray());
        if (!joined.contains("I ") && !joined.contains("i ")) {
            check(lastCount_ == startCount_, "frames without a header counted");
            for (int slot = 0; slot < 7; ++slot) {
                check(live->display().dataBoxCaption(slot).isEmpty(), "value without a header",
                      live->display().dataBoxCaption(slot));
            }
        }
    }

private:
    VirtualClock clock;
    FakePortSystem ports{clock};
    FakeSerialPort port{ports};
    ScriptedMessageBoxes boxes;
    UnitLink link{port, clock, boxes};
    HeadingCalculator heading{boxes};
    test::RecordingViews view;
    ModeSwitch modes;
    Test test;
    Terminal terminal;
    std::unique_ptr<LiveDataSession> live;

    QByteArray model_;  // recent bytes fed; the port's waiting bytes are its tail
    QByteArray fed_;    // every byte fed
    qint64 crsRead_ = 0;
    qint64 startCount_ = 0;
    qint64 lastCount_ = 0;
    qint64 crsAtLastCount_ = 0;
};

}  // namespace
}  // namespace tarquel

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarquel;
    constexpr size_t kControl = 6;
    if (size < kControl) {
        return 0;
    }
    const QByteArray bytes(reinterpret_cast<const char*>(data + kControl),
                           static_cast<qsizetype>(size - kControl));
    const unsigned ways = data[1] | (unsigned{data[2]} << 8);
    std::array<qsizetype, 5> cuts{0, 0, 0, 0, bytes.size()};
    for (int i = 0; i < 3; ++i) {
        cuts[static_cast<std::size_t>(i) + 1] = bytes.size() * data[3 + i] / 255;
    }
    std::sort(cuts.begin() + 1, cuts.end() - 1);
    try {
        Rig rig(data[0]);
        for (unsigned k = 0; k < 4; ++k) {
            const unsigned way = (ways >> (4 * k)) & 0xF;
            rig.deliver(bytes.mid(cuts[k], cuts[k + 1] - cuts[k]), static_cast<int>(way & 7),
                        (way & 8) != 0);
        }
        rig.finish();
    } catch (const std::exception& error) {
        fail("exception escaped", QString::fromLocal8Bit(error.what()));
    } catch (...) {
        fail("exception escaped");
    }
    return 0;
}
