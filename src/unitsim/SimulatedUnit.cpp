#include "unitsim/SimulatedUnit.h"

#include <algorithm>
#include <cmath>

namespace tarquel::unitsim {

namespace {

constexpr quint16 kConfigWord = 0x4C03;
constexpr quint16 kB600AccessWord = 0x0000;
constexpr quint16 k1600AccessWord = 0x0025;
constexpr quint16 kSettingsWordA = 0x0A0A;
constexpr quint16 kSettingsWordB = 0x0C05;
constexpr double kDegreesPerRotationCount = 359.9999 / 65535.0;

QByteArray selectionBytes(const QString& hex) {
    const QByteArray latin = hex.toLatin1();
    if (latin.size() != 10 || QByteArray::fromHex(latin).toHex().toUpper() != latin.toUpper()) {
        return {};
    }
    return QByteArray::fromHex(latin);
}

QStringList identificationStrings(MapFamily family, const QString& model) {
    if (family == MapFamily::B600) {
        return {model + QStringLiteral(" Version 4.20"), QStringLiteral("Copyright (C) 2004-09"),
                QStringLiteral("Corvane Industries Inc."), QStringLiteral("All Rights Reserved")};
    }
    // The 1600-family text starts with a byte FF; the PC puts the revision after "rev".
    return {QChar(0xFF) + model + QStringLiteral(" Version 5.10 rev"),
            QStringLiteral("Copyright (C) 2006-09"), QStringLiteral("Corvane Industries Inc."),
            QStringLiteral("All Rights Reserved")};
}

}  // namespace

QString defaultChannels(SensorKind sensors) {
    return sensors == SensorKind::Accelerometer ? QStringLiteral("3C07000000")
                                                : QStringLiteral("2007C00000");
}

SimulatedUnit::SimulatedUnit(const Config& config)
    : memory_(UnitLayout::of(config.family)),
      decoder_(memory_.layout()),
      line_(config.baud, config.seed),
      physics_(config.physics, config.seed),
      sensors_(config.sensors),
      format_(config.format),
      streamEnabled_(config.streamEnabled),
      fastest_(config.fastest),
      frameRate_(config.frameRate),
      checksumMs_(config.checksumMs),
      faults_(config.faults) {
    const UnitLayout& l = memory_.layout();
    memory_.setWord(l.configWord, kConfigWord);
    memory_.setWord(l.accessWord, l.family == MapFamily::B600 ? kB600AccessWord : k1600AccessWord);
    QByteArray selection = selectionBytes(config.channels);
    if (selection.isEmpty()) {
        selection = selectionBytes(defaultChannels(config.sensors));
    }
    memory_.setChannelSelection(selection);
    memory_.setWord(l.settingsWordA, kSettingsWordA);
    memory_.setWord(l.settingsWordB, kSettingsWordB);
    for (const int a : {l.headingOffsetWord, l.northRotationWord, l.xBiasWord, l.xGainWord,
                        l.yBiasWord, l.yGainWord, l.zBiasWord, l.zGainWord}) {
        memory_.setWord(a, 0);
    }
    if (l.revisionWord >= 0) {
        const QByteArray revision = config.revision.toLatin1().leftJustified(2, ' ', true);
        memory_.setByte(l.revisionWord, static_cast<quint8>(revision[0]));
        memory_.setByte(l.revisionWord + 1, static_cast<quint8>(revision[1]));
    }
    memory_.writeIdentification(identificationStrings(l.family, config.model));
    memory_.updateChecksum();
}

void SimulatedUnit::receive(const QByteArray& bytes, qint64 nowMs, int pcBaud) {
    const double now = static_cast<double>(nowMs);
    advance(now);
    for (const char c : bytes) {
        const auto b = static_cast<quint8>(c);
        received_.push_back({nowMs, b, pcBaud});
        ++counters_.bytesReceived;
        if (faults_.modem) {
            listenAsModem(b, now, pcBaud);
        }
        // Bytes sent at another rate arrive as framing errors and noise; the unit ignores them.
        // While it recalculates its checksum it listens to nothing.
        if (pcBaud != line_.baud() || busy()) {
            ++counters_.bytesIgnored;
            continue;
        }
        execute(decoder_.take(b, now), now);
    }
}

QByteArray SimulatedUnit::transmit(qint64 nowMs, int pcBaud) {
    const double now = static_cast<double>(nowMs);
    advance(now);
    return line_.take(now, pcBaud);
}

void SimulatedUnit::advance(double nowMs) {
    if (!started_) {
        started_ = true;
        lastMs_ = nowMs;
        nextFrameAt_ = nowMs;
        // A rotation configured before the line ran starts now.
        physics_.setHeading(physics_.settings().headingDeg, nowMs);
    }
    nowMs = std::max(nowMs, lastMs_);
    if (checksumPending_ && nowMs >= busyUntil_) {
        memory_.updateChecksum();
        checksumPending_ = false;
    }
    if (const auto gaveUp = decoder_.expire(nowMs)) {
        holdUntil_ = std::max(holdUntil_, *gaveUp);
    }
    generateFrames(nowMs);
    lastMs_ = nowMs;
}

void SimulatedUnit::execute(const DecodedCommand& command, double nowMs) {
    using Kind = DecodedCommand::Kind;
    switch (command.kind) {
        case Kind::None:
            break;
        case Kind::ReadStarted:
            line_.dropUnstartedStream(nowMs);
            break;
        case Kind::Read:
            ++counters_.reads;
            answerRead(command.address, nowMs);
            break;
        case Kind::Write:
            ++counters_.writes;
            applyWrite(command.address, command.value);
            break;
        case Kind::AddToWord:
            ++counters_.adds;
            applyAdd(command.address, command.value);
            break;
        case Kind::RecalculateChecksum:
            ++counters_.checksumRecalculations;
            if (checksumMs_ <= 0) {
                memory_.updateChecksum();
            } else {
                busyUntil_ = nowMs + checksumMs_;
                holdUntil_ = std::max(holdUntil_, busyUntil_);
                checksumPending_ = true;
            }
            break;
        case Kind::SelectChannels:
            ++counters_.channelSelections;
            memory_.setChannelSelection(command.channels);
            break;
        case Kind::DecimalOutput:
            ++counters_.formatCommands;
            format_ = OutputFormat::Decimal;
            break;
        case Kind::BinaryOutput:
            ++counters_.formatCommands;
            format_ = OutputFormat::Binary;
            break;
        case Kind::ModemProbe:
            // A modem hears "AT" at any rate; see listenAsModem.
            break;
    }
}

void SimulatedUnit::listenAsModem(quint8 byte, double nowMs, int pcBaud) {
    // Like a modem, it takes its rate from the "AT" it is sent and answers at that rate.
    modemLine_.append(static_cast<char>(byte));
    modemLine_ = modemLine_.right(3);
    if (byte == '\r' && modemLine_.size() == 3 && modemLine_.left(2).toUpper() == "AT" &&
        pcBaud > 0) {
        modemLine_.clear();
        ++counters_.modemProbes;
        line_.sendAtRate(QByteArrayLiteral("OK\r\n"), nowMs + kAnswerDelayMs, pcBaud);
    }
}

void SimulatedUnit::answerRead(int address, double nowMs) {
    // A read the unit does not answer in full leaves it quiet for a while, so the PC's wait for
    // two bytes runs out instead of taking stream bytes for the missing ones.
    holdUntil_ = std::max(holdUntil_, nowMs + kQuietAfterShortAnswerMs);
    const bool silenced = faults_.readsBeforeSilence == 0;
    if (faults_.readsBeforeSilence > 0) {
        --faults_.readsBeforeSilence;
    }
    if (address >= layout().unansweredFrom || faults_.noReadAnswer || silenced) {
        return;
    }
    QByteArray answer;
    answer.append(static_cast<char>(memory_.byte(address)));
    if (!faults_.oneByteAnswer) {
        answer.append(static_cast<char>(memory_.byte(address + 1)));
        if (faults_.threeByteAnswer) {
            answer.append(static_cast<char>(memory_.byte(address + 2)));
        }
    }
    const double done = line_.send(answer, nowMs + kAnswerDelayMs, false);
    if (!faults_.oneByteAnswer) {
        // Answered in full: the stream resumes once the answer is out.
        holdUntil_ = done;
    }
    ++counters_.readsAnswered;
}

void SimulatedUnit::applyWrite(int address, quint16 value) {
    // Write access guards the EEPROM (the map and its checksum byte). The configuration words in
    // RAM, the access word among them, take a write at any time.
    const bool accessWord = address == layout().accessWord;
    const bool eeprom = address >= layout().mapFirst &&
                        address <= std::max(layout().mapLast, layout().checksumAddress);
    if ((eeprom && !memory_.writeAccess()) || (!accessWord && faults_.refuseWrites)) {
        return;
    }
    memory_.setWord(address, value);
    ++counters_.writesApplied;
}

void SimulatedUnit::applyAdd(int address, quint16 increment) {
    if (!memory_.writeAccess() || faults_.refuseWrites) {
        return;
    }
    memory_.setWord(address, static_cast<quint16>(memory_.word(address) + increment));
    ++counters_.addsApplied;
}

void SimulatedUnit::generateFrames(double nowMs) {
    if (!streaming() || decoder_.awaitingReadAddress()) {
        nextFrameAt_ = std::max(nextFrameAt_, nowMs);
        return;
    }
    const QByteArray selection = memory_.channelSelection();
    for (;;) {
        const double start = std::max({nextFrameAt_, line_.freeAt(), holdUntil_});
        if (start > nowMs) {
            break;
        }
        const Vec3 magNoise = physics_.noise();
        const Vec3 accelNoise = physics_.noise();
        const QByteArray frame =
            FrameEncoder::encode(selection, measure(start, magNoise, accelNoise), format_);
        line_.send(frame, start, true);
        ++counters_.frames;
        const double period = cyclePeriodMs(frame.size());
        nextFrameAt_ = std::max(start + period, line_.freeAt());
    }
}

ChannelValues SimulatedUnit::measure(double tMs, const Vec3& magNoise,
                                     const Vec3& accelNoise) const {
    const PhysicsSettings& s = physics_.settings();
    Vec3 raw = physics_.rawMagnetometer(tMs);
    raw = {raw.x + magNoise.x, raw.y + magNoise.y, raw.z + magNoise.z};
    const Vec3 mag = calibrated(raw);

    ChannelValues v;
    v.headingDeg = SensorPhysics::fold360(
        SensorPhysics::tiltCompensatedHeading(mag, s.tiltXDeg, s.tiltYDeg) - rotationDeg());
    v.magMg[0] = mag.x;
    v.magMg[1] = mag.y;
    v.magMg[2] = mag.z;
    if (sensors_ == SensorKind::Accelerometer) {
        const Vec3 a = physics_.accelerometers();
        v.accelMg[0] = a.x + accelNoise.x;
        v.accelMg[1] = a.y + accelNoise.y;
        v.accelMg[2] = a.z + accelNoise.z;
    }
    v.inclinationDeg[0] = s.tiltXDeg;
    v.inclinationDeg[1] = s.tiltYDeg;
    v.temperatureC = s.temperatureC;
    return v;
}

// The stored user calibration, per axis: corrected = (raw + bias) * (1 + gain / 100), with the
// words scaled by the family's bias and gain counts.
Vec3 SimulatedUnit::calibrated(const Vec3& raw) const {
    const UnitLayout& l = layout();
    auto axis = [&](double value, int biasWord, int gainWord) {
        const double bias = memory_.signedWord(biasWord) * l.biasPerCount;
        const double gainPercent = memory_.signedWord(gainWord) * l.gainPercentPerCount;
        return (value + bias) * (1.0 + gainPercent / 100.0);
    };
    return {axis(raw.x, l.xBiasWord, l.xGainWord), axis(raw.y, l.yBiasWord, l.yGainWord),
            axis(raw.z, l.zBiasWord, l.zGainWord)};
}

double SimulatedUnit::rotationDeg() const {
    const UnitLayout& l = layout();
    return (memory_.signedWord(l.headingOffsetWord) + memory_.signedWord(l.northRotationWord)) *
           kDegreesPerRotationCount;
}

QString SimulatedUnit::channels() const {
    return QString::fromLatin1(memory_.channelSelection().toHex().toUpper());
}

void SimulatedUnit::setStreamEnabled(bool enabled) {
    if (enabled && !streamEnabled_) {
        nextFrameAt_ = std::max(nextFrameAt_, lastMs_);
    }
    streamEnabled_ = enabled;
}

void SimulatedUnit::setBaud(int baud) {
    if (baud <= 0 || baud == line_.baud()) {
        return;
    }
    line_.setBaud(baud, lastMs_);
    decoder_.reset();
    nextFrameAt_ = std::max(nextFrameAt_, lastMs_);
}

double SimulatedUnit::cyclePeriodMs(qsizetype frameBytes) const {
    if (fastest_) {
        return 0;
    }
    if (frameRate_ > 0) {
        return 1000.0 / frameRate_;
    }
    return std::ceil(static_cast<double>(frameBytes) / kCharactersPerCycle) * 1000.0 /
           kCyclesPerSecond;
}

double SimulatedUnit::framePeriodMs() const {
    return cyclePeriodMs(currentFrame().size());
}

QByteArray SimulatedUnit::currentFrame() const {
    return FrameEncoder::encode(memory_.channelSelection(), currentValues(), format_);
}

double SimulatedUnit::unitHeading() const {
    return currentValues().headingDeg;
}

double SimulatedUnit::headingError() const {
    double error = std::fmod(unitHeading() - trueHeading(), 360.0);
    if (error > 180.0) {
        error -= 360.0;
    } else if (error <= -180.0) {
        error += 360.0;
    }
    return error;
}

void addFault(FaultSettings& faults, Fault fault, int count) {
    switch (fault) {
        case Fault::NoReadAnswer:
            faults.noReadAnswer = true;
            break;
        case Fault::OneByteAnswer:
            faults.oneByteAnswer = true;
            break;
        case Fault::ThreeByteAnswer:
            faults.threeByteAnswer = true;
            break;
        case Fault::RefuseWrites:
            faults.refuseWrites = true;
            break;
        case Fault::SilentAfterReads:
            faults.readsBeforeSilence = std::max(count, 0);
            break;
        case Fault::Modem:
            faults.modem = true;
            break;
        case Fault::StreamOff:
            faults.streamOff = true;
            break;
    }
}

void SimulatedUnit::clearFaults() {
    faults_ = FaultSettings();
}

}  // namespace tarquel::unitsim
