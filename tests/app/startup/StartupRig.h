#pragma once

#include "app/startup/SplashView.h"
#include "app/startup/Startup.h"
#include "app/startup/StartupResult.h"
#include "platform/FakeSerialPort.h"
#include "platform/MessageBoxes.h"
#include "platform/ScriptedPeer.h"
#include "platform/VirtualClock.h"

#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

namespace tarquel::test {

class RecordingSplash : public SplashView {
public:
    void setLblMessagesText(const QString& text) override { messages << text; }
    void setLblClickVisible(bool visible) override { clickVisible = visible; }
    bool lblClickVisible() const override { return clickVisible; }

    QStringList messages;
    bool clickVisible = false;
};

// A unit streaming frames at its own baud rate. A PC port at another rate receives garbage: half
// of it 8-bit bytes, and no carriage return.
class RatedUnit : public ScriptedPeer {
public:
    RatedUnit(int baud, const QByteArray& frame) : baud_(baud) { stream(frame, 20); }

    QByteArray transmit(qint64 nowMs, int pcBaud) override {
        QByteArray bytes = ScriptedPeer::transmit(nowMs, pcBaud);
        for (qsizetype i = 0; pcBaud != baud_ && i < bytes.size(); ++i) {
            const char mixed = static_cast<char>(i % 2 == 0 ? bytes[i] & 0x7F : bytes[i] | 0x80);
            bytes[i] = mixed == '\r' ? static_cast<char>(0x8D) : mixed;
        }
        return bytes;
    }

private:
    int baud_;
};

inline const QByteArray kDecimalFrame = "$C123.4,-0.512,0.210,0.871,1.2,-3.4,0.99\r";
inline const QByteArray kBinaryFrame = "\xA5\x81\xC2\x93\xF4\x85\x96\xE7\xB8\x89\r";

// The PC's baud rate at each "{" the peer received.
inline std::vector<int> braceBauds(const ScriptedPeer& peer) {
    std::vector<int> bauds;
    for (const ScriptedPeer::Received& r : peer.received()) {
        if (r.bytes == "{") {
            bauds.push_back(r.baud);
        }
    }
    return bauds;
}

// A modem: answers "AT" and a carriage return received in one piece.
inline void makeModem(
    ScriptedPeer& peer, const QByteArray& answer, std::function<void()> onAttention = [] {}) {
    peer.onReceive([=](const QByteArray& bytes) {
        if (bytes.toUpper() != "AT\r") {
            return QByteArray();
        }
        onAttention();
        return answer;
    });
}

// Runs an action the first time virtual time moves, that is inside the first blocking wait.
class OnFirstAdvance : public VirtualWorld {
public:
    OnFirstAdvance(VirtualClock& clock, std::function<void()> action)
        : clock_(clock), action_(std::move(action)) {
        clock_.addWorld(this);
    }
    ~OnFirstAdvance() override { clock_.removeWorld(this); }
    void advanceTo(qint64 /*nowMs*/) override {
        if (auto action = std::exchange(action_, {})) {
            action();
        }
    }

private:
    VirtualClock& clock_;
    std::function<void()> action_;
};

// The splash window's surroundings: virtual time, the port hardware, TestComm as it starts.
struct StartupRig {
    StartupRig() { PrepareTestComm(TestComm); }

    std::vector<int> portsWith(bool PortStatus::*column) const {
        std::vector<int> matching;
        for (int p = 1; p <= 20; ++p) {
            if (result.portStatus[p].*column) {
                matching.push_back(p);
            }
        }
        return matching;
    }

    VirtualClock clock;
    FakePortSystem ports{clock};
    FakeSerialPort TestComm{ports};
    ScriptedMessageBoxes boxes;
    StartupResult result;
    RecordingSplash splash;
};

}  // namespace tarquel::test
