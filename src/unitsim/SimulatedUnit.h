#pragma once

#include "platform/SerialPeer.h"
#include "unitsim/CommandDecoder.h"
#include "unitsim/FrameEncoder.h"
#include "unitsim/OutputLine.h"
#include "unitsim/SensorPhysics.h"
#include "unitsim/UnitMemory.h"

#include <QString>
#include <vector>

namespace tarquel::unitsim {

enum class SensorKind { Accelerometer, Pendulum };

// Misbehaviour that can be switched on to test how the PC copes.
enum class Fault {
    NoReadAnswer,      // reads get no answer
    OneByteAnswer,     // reads get only the high byte
    ThreeByteAnswer,   // reads get the word and one extra byte
    RefuseWrites,      // writes and adds are ignored even with write access (the access word
                       // itself still changes, so access can be switched on)
    SilentAfterReads,  // answers n more reads, then none
    Modem,             // answers "OK\r\n" to "AT\r" at whatever rate it is sent
    StreamOff,         // sends no frames
};

struct FaultSettings {
    bool noReadAnswer = false;
    bool oneByteAnswer = false;
    bool threeByteAnswer = false;
    bool refuseWrites = false;
    int readsBeforeSilence = -1;  // -1: no limit
    bool modem = false;
    bool streamOff = false;
};

// Switches one fault on in faults. count: reads still answered for SilentAfterReads.
void addFault(FaultSettings& faults, Fault fault, int count = 0);

// How a simulated unit starts.
struct UnitConfig {
    MapFamily family = MapFamily::B600;
    int baud = 9600;
    OutputFormat format = OutputFormat::Decimal;
    SensorKind sensors = SensorKind::Accelerometer;
    QString channels;  // ten hex digits; empty: the default of the sensor kind
    QString model = QStringLiteral("CV-3100");
    QString revision = QStringLiteral("C2");  // 1600 family: two characters at 16EA
    bool streamEnabled = true;
    bool fastest = false;
    double frameRate = 0;   // frames a second instead of the unit's own timing; 0: its own
    int checksumMs = 2000;  // time the unit needs to recalculate its checksum
    quint64 seed = 1;
    PhysicsSettings physics;
    FaultSettings faults;
};

// The sensor unit as seen from its side of the serial line: memory with its map family and
// checksum, the command protocol, the frame stream with its timing, the line rate, and the physics
// behind the measurements. Runs on whatever millisecond clock drives the line (virtual in tests,
// real on a pseudo-terminal); time only moves forward.
//
// Frame timing: the unit works in cycles of 1/71.11 s, each carrying 13.5002 characters; a frame
// of L characters plus its carriage return goes out every ceil((L + 1) / 13.5002) cycles, but
// never faster than the line can carry it. With fastest set, frames follow back to back.
//
// A read command (7D) holds the stream after the byte in progress until the answer has gone out
// (or the address fails to come within 200 ms), so no stream byte follows the command before the
// answer; the interrupted frame is abandoned. The answer starts about 1 ms after the second
// address byte. A read the unit does not answer in full (an address it does not have, a fault)
// leaves the stream quiet for 200 ms after the address.
class SimulatedUnit : public SerialPeer {
public:
    using Config = UnitConfig;

    struct Counters {
        int bytesReceived = 0;
        int bytesIgnored = 0;  // received at another rate or while busy
        int reads = 0;
        int readsAnswered = 0;
        int writes = 0;
        int writesApplied = 0;
        int adds = 0;
        int addsApplied = 0;
        int checksumRecalculations = 0;
        int channelSelections = 0;
        int formatCommands = 0;
        int modemProbes = 0;
        qint64 frames = 0;
    };

    struct ReceivedByte {
        qint64 timeMs;
        quint8 byte;
        int pcBaud;
    };

    static constexpr double kCyclesPerSecond = 71.11;
    static constexpr double kCharactersPerCycle = 13.5002;
    static constexpr double kAnswerDelayMs = 1;
    // Silence after a read that is not answered in full (the PC waits 100 ms for two bytes).
    static constexpr double kQuietAfterShortAnswerMs = 200;

    explicit SimulatedUnit(const Config& config = Config());

    // SerialPeer
    void receive(const QByteArray& bytes, qint64 nowMs, int pcBaud) override;
    QByteArray transmit(qint64 nowMs, int pcBaud) override;

    // Memory. setWord changes memory directly, bypassing the protocol and write access.
    const UnitLayout& layout() const { return memory_.layout(); }
    quint8 byte(int address) const { return memory_.byte(address); }
    quint16 word(int address) const { return memory_.word(address); }
    void setWord(int address, quint16 value) { memory_.setWord(address, value); }
    bool checksumValid() const { return memory_.checksumValid(); }
    bool writeAccess() const { return memory_.writeAccess(); }
    bool busy() const { return lastMs_ < busyUntil_; }
    // The output-channel selection as ten uppercase hex digits.
    QString channels() const;

    // Output.
    void setStreamEnabled(bool enabled);
    bool streamEnabled() const { return streamEnabled_; }
    void setFormat(OutputFormat format) { format_ = format; }
    OutputFormat format() const { return format_; }
    void setFastest(bool fastest) { fastest_ = fastest; }
    bool fastest() const { return fastest_; }
    void setBaud(int baud);
    int baud() const { return line_.baud(); }
    // Interval between frame starts for a frame of the current selection and format, before the
    // line's own limit.
    double framePeriodMs() const;
    // The frame the unit would send now (noise free), carriage return included.
    QByteArray currentFrame() const;
    // What the unit would measure now (noise free).
    ChannelValues currentValues() const { return measure(lastMs_, Vec3(), Vec3()); }

    // Vehicle and sensor. Changes apply from the last time the line was driven.
    void setHeading(double deg) { physics_.setHeading(deg, lastMs_); }
    void setTilt(double rxDeg, double ryDeg) { physics_.setTilt(rxDeg, ryDeg); }
    void setRotation(double degPerS) { physics_.setRotation(degPerS, lastMs_); }
    void setHardIron(const Vec3& mg) { physics_.setHardIron(mg); }
    void setScale(double sx, double sy) { physics_.setScale(sx, sy); }
    void setNoise(double mg) { physics_.setNoise(mg); }
    const PhysicsSettings& physics() const { return physics_.settings(); }
    SensorKind sensors() const { return sensors_; }
    double trueHeading() const { return physics_.headingAt(lastMs_); }
    // The heading the unit reports (noise free): calibrated magnetometer, tilt compensated, minus
    // its heading rotation words, in [0, 360).
    double unitHeading() const;
    // unitHeading() - trueHeading(), in (-180, 180].
    double headingError() const;

    // Faults. count: reads still answered for SilentAfterReads.
    void setFault(Fault fault, int count = 0) { addFault(faults_, fault, count); }
    void clearFaults();
    const FaultSettings& faults() const { return faults_; }

    const Counters& counters() const { return counters_; }
    // Every byte received, with its time and the rate of the PC's port.
    const std::vector<ReceivedByte>& receivedBytes() const { return received_; }
    void clearReceivedBytes() { received_.clear(); }
    // The last time the line was driven.
    qint64 nowMs() const { return static_cast<qint64>(lastMs_); }

private:
    void advance(double nowMs);
    void execute(const DecodedCommand& command, double nowMs);
    void answerRead(int address, double nowMs);
    void listenAsModem(quint8 byte, double nowMs, int pcBaud);
    void applyWrite(int address, quint16 value);
    void applyAdd(int address, quint16 increment);
    void generateFrames(double nowMs);
    bool streaming() const { return streamEnabled_ && !faults_.streamOff; }
    // Cycle-bound interval between the starts of frames of this many bytes (CR included).
    double cyclePeriodMs(qsizetype frameBytes) const;
    ChannelValues measure(double tMs, const Vec3& magNoise, const Vec3& accelNoise) const;
    Vec3 calibrated(const Vec3& raw) const;
    double rotationDeg() const;

    UnitMemory memory_;
    CommandDecoder decoder_;
    OutputLine line_;
    SensorPhysics physics_;
    SensorKind sensors_;
    OutputFormat format_;
    bool streamEnabled_;
    bool fastest_;
    double frameRate_;
    int checksumMs_;
    FaultSettings faults_;
    QByteArray modemLine_;  // the last bytes heard, for the modem's "AT"
    Counters counters_;
    std::vector<ReceivedByte> received_;

    double lastMs_ = 0;
    bool started_ = false;
    double nextFrameAt_ = 0;
    double holdUntil_ = 0;  // no frame starts before this (a read answer, a recalculation)
    double busyUntil_ = 0;  // recalculating the checksum: deaf until then
    bool checksumPending_ = false;
};

// Default channel selection of a sensor kind: "3C07000000" accelerometer, "2007C00000" pendulum.
QString defaultChannels(SensorKind sensors);

}  // namespace tarquel::unitsim
