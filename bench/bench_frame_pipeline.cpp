// Per-frame cost of the live-data pipeline on accelerometer frames as the unit sends them:
// frame assembly, decoding, smoothing, heading, the seven display texts, frame count and rate.
#include "heading/CalGaugeDriver.h"
#include "heading/HeadingCalculator.h"
#include "livedata/DisplayFormat.h"
#include "livedata/FrameAssembler.h"
#include "livedata/FrameDecoder.h"
#include "livedata/LiveViews.h"
#include "platform/FakeSerialPort.h"
#include "platform/MessageBoxes.h"
#include "platform/VirtualClock.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace {

using namespace tarquel;

// Keeps the texts like the window's labels would, so that formatting is not optimised away.
class LabelView : public LiveDataView {
public:
    void setDataBoxCaption(int slot, const QString& caption) override {
        boxes[static_cast<std::size_t>(slot)] = caption;
    }
    QString dataBoxCaption(int slot) const override {
        return boxes[static_cast<std::size_t>(slot)];
    }
    void setFrameCountCaption(const QString& caption) override { frameCount = caption; }
    QString frameRateCaption() const override { return frameRate; }
    void setFrameRateCaption(const QString& caption) override { frameRate = caption; }
    bool getDataEnabled() const override { return true; }
    void focusGetData() override {}

    std::array<QString, 7> boxes;
    QString frameCount;
    QString frameRate = QStringLiteral("0 Frames/Sec");
};

class NoGauge : public Gauge {
public:
    void setRange(int, double, double) override {}
    void setActiveRange(int) override {}
    void setValue(double value) override { benchmark::DoNotOptimize(value); }
    void setGaugeVisible(bool visible) override { shown = visible; }
    bool gaugeVisible() const override { return shown; }
    bool shown = false;
};

class NoModes : public CalModeCommands {
public:
    CalMode calMode() const override { return CalMode::Accelerometer; }
    void selectCalMode(CalMode /*mode*/) override {}
};

class RunningTest : public TestStatus {
public:
    bool testRunning() const override { return true; }
};

// A unit turning slowly on a slightly tilted platform, one second of frames at a time.
QString streamText(int frames) {
    QString text;
    for (int i = 0; i < frames; ++i) {
        const double angle = i * 0.01;
        text += QStringLiteral("\nI %1 %2 %3 %4 %5 %6 %7\r")
                    .arg(std::fmod(i * 0.573, 360.0), 0, 'f', 1)
                    .arg(35 + i % 7)
                    .arg(-52 + i % 5)
                    .arg(-998)
                    .arg(std::lround(180 * std::cos(angle)))
                    .arg(std::lround(-180 * std::sin(angle)))
                    .arg(410 + i % 3);
    }
    return text;
}

void BM_FramePipeline(benchmark::State& bench) {
    VirtualClock clock;
    FakePortSystem system(clock);
    FakeSerialPort port(system);
    ScriptedMessageBoxes boxes;
    UnitLink link(port, clock, boxes);
    link.setDataFormat(DataFormat::Decimal);
    MessageFlags flags;
    NoModes modes;
    RunningTest test;
    NoGauge gauge;
    LabelView view;
    HeadingCalculator heading(boxes);
    CalGaugeDriver gaugeDriver(gauge);
    FrameDecoder decoder(flags, link, heading, gaugeDriver, modes, view);
    decoder.setTestStatus(&test);
    FrameAssembler assembler(decoder);

    constexpr int kFramesPerChunk = 1000;
    const QString chunk = streamText(kFramesPerChunk);
    for (auto _ : bench) {
        assembler.CreateFrame(chunk);
    }
    if (assembler.failedFrames() != 0) {
        bench.SkipWithError("frames failed to decode");
    }
    bench.counters["frames/s"] = benchmark::Counter(
        static_cast<double>(bench.iterations()) * kFramesPerChunk, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FramePipeline)->Unit(benchmark::kMillisecond);

void BM_DisplayFormatting(benchmark::State& bench) {
    double value = -123.456;
    for (auto _ : bench) {
        for (int slot = 0; slot < 7; ++slot) {
            benchmark::DoNotOptimize(FormatChannelValue(slot, value));
        }
        value += 0.37;
    }
    bench.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(bench.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DisplayFormatting);

}  // namespace

BENCHMARK_MAIN();
