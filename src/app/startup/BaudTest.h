#pragma once

#include "app/startup/SplashView.h"
#include "app/startup/StartupResult.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"

#include <QByteArray>
#include <QMetaObject>
#include <functional>
#include <memory>

namespace tarquel {

// Bits of ratesTried.
namespace BaudBit {
constexpr quint16 B1200 = 1;
constexpr quint16 B2400 = 2;
constexpr quint16 B4800 = 4;
constexpr quint16 B9600 = 8;
constexpr quint16 B19200 = 16;
constexpr quint16 B38400 = 32;
constexpr quint16 All = 63;
}  // namespace BaudBit

// The baud-rate test of the splash window. Driven by the splash window's timer tmrBaud, it
// listens on activePort at 9600, 19200, 38400, 4800, 2400 and 1200 baud in turn, about three
// seconds each, and keeps the first rate whose sample looks like the unit's output (detectedBaud,
// detectedFormat). A click on the splash window skips it. However it ends, tmrBaud is disabled
// and ContinueStartup is called exactly once.
//
// A port error while a rate is set up or sampled fails that rate; when every rate has failed the
// test ends as "detection failed" (startupStatus BaudFailed).
class BaudTest {
public:
    static constexpr int kSetupIntervalMs = 50;
    static constexpr int kListenIntervalMs = 1000;
    // The tick that counts this many evaluates the sample: three listening intervals.
    static constexpr int kEvaluationTick = 4;
    static constexpr int kKeptBytes = 1000;
    static constexpr int kSampleLimit = 5001;

    BaudTest(Clock& clock, MessageBoxes& boxes, StartupResult& result, SerialPort& TestComm,
             SplashView& view, std::function<void()> ContinueStartup);
    ~BaudTest();
    BaudTest(const BaudTest&) = delete;
    BaudTest& operator=(const BaudTest&) = delete;

    // Enables tmrBaud; the first tick, 50 ms later, starts the test.
    void start();

    // Click on the splash window, its picture or any label but lblClick: skips the test once it
    // has started (lblClick is visible).
    void Form_Click();
    // Click on lblClick: always skips.
    void lblClick_Click();

    // The first rate of the trial order not yet in tried, added to it; 0 (and startupStatus
    // BaudFailed) when every rate has been tried.
    int fNextBaudRate(quint16& tried);
    // True when the sample holds carriage returns and at least 70 % 7-bit or 70 % 8-bit other
    // bytes among its first 5001; sets detectedFormat accordingly.
    bool fCheckBaudSample(const QByteArray& sample);

    // The tmrBaud tick and TestComm's communication event; connected by the constructor.
    void tmrBaud_Timer();
    void TestComm_OnComm();

    Timer& tmrBaud() { return *tmrBaud_; }
    bool baudTestStarted() const { return baudTestStarted_; }
    quint16 ratesTried() const { return ratesTried_; }

private:
    // Sets up the next rate; false when the test has ended.
    bool startNextRate();
    // Reads the sample and closes the port; true when the rate passed.
    bool evaluateRate();
    void failRate();
    void finishWithRestore();
    void finishWithoutResult();
    void finish();

    Clock& clock_;
    MessageBoxes& boxes_;
    StartupResult& result_;
    SerialPort& TestComm_;
    SplashView& view_;
    std::function<void()> ContinueStartup_;
    std::unique_ptr<Timer> tmrBaud_;
    QMetaObject::Connection tickConnection_;
    QMetaObject::Connection commConnection_;

    int baudTickCount_ = 0;
    int preTestBaud_ = 0;
    int savedPort_ = 0;
    int savedInputLen_ = 0;
    bool baudTestStarted_ = false;
    quint16 ratesTried_ = 0;
};

}  // namespace tarquel
