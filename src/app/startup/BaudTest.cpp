#include "app/startup/BaudTest.h"

#include "app/startup/PortErrorGuard.h"
#include "platform/Errors.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tarquel {

namespace {

struct TrialRate {
    int rate;
    quint16 bit;
};

constexpr std::array<TrialRate, 6> kTrialOrder{{{9600, BaudBit::B9600},
                                                {19200, BaudBit::B19200},
                                                {38400, BaudBit::B38400},
                                                {4800, BaudBit::B4800},
                                                {2400, BaudBit::B2400},
                                                {1200, BaudBit::B1200}}};

constexpr char kCarriageReturn = 13;
constexpr quint8 kHighest7Bit = 127;

bool isTrialRate(int rate) {
    return std::any_of(kTrialOrder.begin(), kTrialOrder.end(),
                       [rate](const TrialRate& trial) { return trial.rate == rate; });
}

QString settingsFor(int rate) {
    return QString::number(rate) + QStringLiteral(",n,8,1");
}

// For the clean-up on the ways out of the test, which must go on whatever the port does.
template <typename Op>
void quietly(Op&& op) {
    try {
        op();
    } catch (const RuntimeError&) {
    }
}

}  // namespace

BaudTest::BaudTest(Clock& clock, MessageBoxes& boxes, StartupResult& result, SerialPort& TestComm,
                   SplashView& view, std::function<void()> ContinueStartup)
    : clock_(clock),
      boxes_(boxes),
      result_(result),
      TestComm_(TestComm),
      view_(view),
      ContinueStartup_(std::move(ContinueStartup)),
      tmrBaud_(clock.createTimer()) {
    tmrBaud_->setEnabled(false);
    tmrBaud_->setInterval(kSetupIntervalMs);
    tickConnection_ = QObject::connect(tmrBaud_.get(), &Timer::timeout, tmrBaud_.get(),
                                       [this] { tmrBaud_Timer(); });
    commConnection_ = QObject::connect(&TestComm_, &SerialPort::onComm, &TestComm_,
                                       [this] { TestComm_OnComm(); });
}

BaudTest::~BaudTest() {
    QObject::disconnect(tickConnection_);
    QObject::disconnect(commConnection_);
}

void BaudTest::start() {
    tmrBaud_->setEnabled(true);
}

void BaudTest::Form_Click() {
    if (view_.lblClickVisible()) {
        result_.skipBaudTest = true;
    }
}

void BaudTest::lblClick_Click() {
    result_.skipBaudTest = true;
}

int BaudTest::fNextBaudRate(quint16& tried) {
    for (const TrialRate& trial : kTrialOrder) {
        if ((tried & trial.bit) == 0) {
            tried = static_cast<quint16>(tried | trial.bit);
            return trial.rate;
        }
    }
    result_.startupStatus = StartupStatus::BaudFailed;
    return 0;
}

bool BaudTest::fCheckBaudSample(const QByteArray& sample) {
    if (sample.isEmpty()) {
        return false;
    }
    const qsizetype examined = std::min<qsizetype>(sample.size(), kSampleLimit);
    qsizetype total = 0;
    qsizetype ascii = 0;
    bool frameEnd = false;
    for (qsizetype i = 0; i < examined; ++i) {
        if (sample[i] == kCarriageReturn) {
            frameEnd = true;
            continue;
        }
        ++total;
        if (static_cast<quint8>(sample[i]) <= kHighest7Bit) {
            ++ascii;
        }
    }
    // Carriage returns alone say nothing about the rate.
    if (!frameEnd || total == 0) {
        return false;
    }
    // Shares of at least 70 %, compared in whole numbers.
    if (ascii * 10 >= total * 7) {
        result_.detectedFormat = DataFormat::Decimal;
        return true;
    }
    if ((total - ascii) * 10 >= total * 7) {
        result_.detectedFormat = DataFormat::Binary;
        return true;
    }
    return false;
}

void BaudTest::tmrBaud_Timer() {
    if (result_.activePort == 0) {
        finishWithoutResult();
        return;
    }
    if (!baudTestStarted_) {
        savedPort_ = TestComm_.commPort();
        preTestBaud_ = baudOfSettings(TestComm_.settings());
        savedInputLen_ = TestComm_.inputLen();
        view_.setLblClickVisible(true);
        if (!isTrialRate(preTestBaud_)) {
            finishWithoutResult();
            return;
        }
        baudTestStarted_ = true;
    }
    if (baudTickCount_ == 0 && !startNextRate()) {
        return;
    }
    ++baudTickCount_;
    if (result_.skipBaudTest) {
        result_.startupStatus = StartupStatus::BaudSkipped;
        finishWithoutResult();
        return;
    }
    if (baudTickCount_ < kEvaluationTick) {
        return;
    }
    if (!evaluateRate()) {
        failRate();
        return;
    }
    result_.detectedBaud = baudOfSettings(TestComm_.settings());
    finishWithRestore();
}

bool BaudTest::startNextRate() {
    quietly([this] {
        if (TestComm_.portOpen()) {
            TestComm_.setPortOpen(false);
        }
    });
    const int rate = fNextBaudRate(ratesTried_);
    if (rate == 0) {
        finishWithRestore();
        return false;
    }
    try {
        TestComm_.setSettings(settingsFor(rate));
        TestComm_.setCommPort(result_.activePort);
        TestComm_.discardInput();
        TestComm_.setInputLen(0);
        TestComm_.setPortOpen(true);
        tmrBaud_->setInterval(kListenIntervalMs);
        view_.setLblMessagesText(QStringLiteral("Checking Baud Rates (") + QString::number(rate) +
                                 QStringLiteral(") ..."));
        clock_.doEvents();
        TestComm_.output(QByteArrayLiteral("{"));
    } catch (const RuntimeError&) {
        quietly([this] { TestComm_.setPortOpen(false); });
        failRate();
        return false;
    }
    return true;
}

bool BaudTest::evaluateRate() {
    QByteArray sample;
    try {
        sample = TestComm_.input();
        TestComm_.setPortOpen(false);
        TestComm_.discardInput();
    } catch (const RuntimeError&) {
        quietly([this] { TestComm_.setPortOpen(false); });
        return false;
    }
    return fCheckBaudSample(sample);
}

void BaudTest::failRate() {
    baudTickCount_ = 0;
    tmrBaud_->setInterval(kSetupIntervalMs);
}

void BaudTest::finishWithRestore() {
    quietly([this] { TestComm_.setCommPort(savedPort_); });
    TestComm_.setInputLen(savedInputLen_);
    quietly([this] { TestComm_.setSettings(settingsFor(preTestBaud_)); });
    finish();
}

void BaudTest::finishWithoutResult() {
    quietly([this] {
        if (TestComm_.portOpen()) {
            TestComm_.setPortOpen(false);
        }
    });
    result_.detectedBaud = 0;
    finish();
}

void BaudTest::finish() {
    tmrBaud_->setEnabled(false);
    // The rest of start-up may unload the splash window and this test with it, so nothing of
    // this object is used once it has been called.
    const std::function<void()> next = ContinueStartup_;
    if (next) {
        next();
    }
}

void BaudTest::TestComm_OnComm() {
    if (TestComm_.commEvent() != CommEvent::Receive) {
        return;
    }
    PortErrorGuard guard(clock_, boxes_, QStringLiteral("routine TestComm.OnComm"), 10,
                         {ErrorNumber::SettingsNotApplied, ErrorNumber::ReadFailed});
    int waiting = 0;
    if (!guard.run([&] { waiting = TestComm_.inBufferCount(); }) || waiting <= kKeptBytes) {
        return;
    }
    // Drop the oldest bytes so that only the most recent kKeptBytes wait for the evaluation.
    const int savedInputLen = TestComm_.inputLen();
    TestComm_.setInputLen(waiting - kKeptBytes);
    guard.run([&] { (void)TestComm_.input(); });
    // Also after a reported error: a changed read length would cut the sample short.
    TestComm_.setInputLen(savedInputLen);
}

}  // namespace tarquel
