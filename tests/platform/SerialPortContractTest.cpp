// One set of expectations run against the fake port (virtual time) and against a real
// pseudo-terminal through Qt SerialPort (real time): the unit link relies on both behaving alike.
#include "platform/Errors.h"
#include "platform/FakeSerialPort.h"
#include "platform/QtSerialPort.h"
#include "platform/RealClock.h"
#include "platform/ScriptedPeer.h"
#include "platform/VirtualClock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <memory>

namespace tarquel {
namespace {

// The far end of one line and the passage of time, as each implementation provides them.
class LineHarness {
public:
    virtual ~LineHarness() = default;
    virtual SerialPort& port() = 0;
    virtual Clock& clock() = 0;
    virtual void farEndSends(const QByteArray& bytes) = 0;
    // What the far end has received, once it holds at least count bytes (or 5 s have passed).
    virtual QByteArray farEndReceived(int count) = 0;
    // The baud rate the far end sees the PC's port set to.
    virtual int farEndBaud() = 0;
    // Lets the event loop run until done() holds, for at most maxMs; returns done().
    bool runUntil(const std::function<bool()>& done, int maxMs = 5000) {
        for (int waited = 0; waited < maxMs && !done(); waited += 5) {
            clock().runEvents(5);
        }
        return done();
    }
    // Blocks, servicing no events, until count bytes wait in the port (at most 5 s).
    void waitForBytes(int count) { port().waitForInput(count, 5'000'000); }
    SerialPort& openPort(int threshold) {
        port().setCommPort(1);
        port().setPortOpen(true);
        port().setRThreshold(threshold);
        return port();
    }
};

class FakeHarness : public LineHarness {
public:
    FakeHarness() : system_(clock_), port_(system_) {
        system_.addPort(1, &peer_);
        clock_.setEventHook([] { QCoreApplication::processEvents(); });
    }
    SerialPort& port() override { return port_; }
    Clock& clock() override { return clock_; }
    void farEndSends(const QByteArray& bytes) override {
        peer_.sendAt(clock_.tickCount() + 1, bytes);
    }
    QByteArray farEndReceived(int /*count*/) override { return peer_.allReceived(); }
    int farEndBaud() override {
        port_.output(QByteArray());
        return peer_.received().empty() ? 0 : peer_.received().back().baud;
    }

private:
    VirtualClock clock_;
    FakePortSystem system_;
    FakeSerialPort port_;
    ScriptedPeer peer_;
};

class PtyHarness : public LineHarness {
public:
    PtyHarness() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            ADD_FAILURE() << "no pseudo-terminal";
            return;
        }
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        port_ = std::make_unique<QtSerialPort>(
            PortDirectory({QString::fromLocal8Bit(::ptsname(master_))}));
    }
    ~PtyHarness() override {
        port_.reset();
        if (master_ >= 0) {
            ::close(master_);
        }
    }
    SerialPort& port() override { return *port_; }
    Clock& clock() override { return clock_; }
    void farEndSends(const QByteArray& bytes) override {
        ASSERT_EQ(::write(master_, bytes.constData(), bytes.size()), bytes.size());
    }
    QByteArray farEndReceived(int count) override {
        QElapsedTimer waited;
        waited.start();
        char buffer[4096];
        while (received_.size() < count && waited.elapsed() < 5000) {
            pollfd fd{master_, POLLIN, 0};
            if (::poll(&fd, 1, 50) > 0 && (fd.revents & POLLIN) != 0) {
                received_.append(buffer,
                                 std::max<ssize_t>(0, ::read(master_, buffer, sizeof buffer)));
            }
        }
        return received_;
    }
    int farEndBaud() override {
        termios settings{};
        ::tcgetattr(master_, &settings);
        for (const auto& [code, baud] : {std::pair<speed_t, int>{B9600, 9600}, {B19200, 19200}}) {
            if (cfgetospeed(&settings) == code) {
                return baud;
            }
        }
        return 0;
    }
    // The far end goes away, like an unplugged adapter.
    void hangUp() {
        ::close(master_);
        master_ = -1;
    }

private:
    RealClock clock_;
    int master_ = -1;
    QByteArray received_;
    std::unique_ptr<QtSerialPort> port_;
};

class SerialPortContract : public ::testing::TestWithParam<std::unique_ptr<LineHarness> (*)()> {
protected:
    void SetUp() override {
        line_ = GetParam()();
        line_->openPort(0);
        QObject::connect(&port(), &SerialPort::onComm,
                         [this] { events_.push_back(port().commEvent()); });
    }
    SerialPort& port() { return line_->port(); }

    std::unique_ptr<LineHarness> line_;
    std::vector<int> events_;
};

TEST_P(SerialPortContract, ReceiveEventsNeedAThresholdAndWaitForTheEventLoop) {
    line_->farEndSends("xyz");
    line_->waitForBytes(3);
    // With no threshold nothing is to happen, so there is no condition to wait for: two delivery
    // intervals of the real port go by without an event.
    line_->clock().runEvents(2 * kReceiveCoalesceMs);
    EXPECT_TRUE(events_.empty());
    EXPECT_EQ(port().inBufferCount(), 3);

    // Bytes arriving while the program blocks are counted at once; their event waits.
    port().setRThreshold(1);
    line_->farEndSends("abc");
    line_->clock().delay(30);
    line_->waitForBytes(6);
    EXPECT_EQ(port().inBufferCount(), 6);
    EXPECT_TRUE(events_.empty()) << "no event may be delivered while the program blocks";
    ASSERT_TRUE(line_->runUntil([this] { return !events_.empty(); }));
    EXPECT_EQ(events_.front(), CommEvent::Receive);
    EXPECT_EQ(port().input(), QByteArray("xyzabc"));
    EXPECT_EQ(port().inBufferCount(), 0);
}

TEST_P(SerialPortContract, RacingReadsDoNotKillTheLineAndEveryBurstRaisesAnEvent) {
    // A read of what the device holds while the event loop also wants to read it (the loser of
    // that race finds nothing to read) must not lose the port.
    port().setRThreshold(1);
    int reads = 0;
    const auto readNow = [&] {
        port().input();
        ++reads;
    };
    for (int i = 1; i <= 40; ++i) {
        line_->farEndSends("abc");
        QMetaObject::invokeMethod(&port(), readNow, Qt::QueuedConnection);
        ASSERT_TRUE(line_->runUntil([&] { return reads == i; }));
    }
    ASSERT_TRUE(port().portOpen());
    // Then each burst must raise an event of its own after the handler emptied the port (a
    // late "abc" of the race may come with the first).
    QByteArray received;
    QObject::connect(&port(), &SerialPort::onComm, [this, &received] {
        port().setInputLen(port().inBufferCount());
        received += port().input();
    });
    for (int burst = 1; burst <= 20; ++burst) {
        line_->farEndSends("I 1 2 3\r");
        ASSERT_TRUE(line_->runUntil([&] { return received.count('\r') >= burst; }))
            << "burst " << burst;
    }
    EXPECT_EQ(received.count("I 1 2 3\r"), 20);
}

TEST_P(SerialPortContract, WaitsEndWhenTheBytesComeAndInputTakesAllOrTheReadLengthOldestFirst) {
    const qint64 start = line_->clock().tickCountUs();
    port().waitForInput(2, 30000);
    EXPECT_GE(line_->clock().tickCountUs() - start, 30000) << "nothing came: the whole wait";
    EXPECT_EQ(port().inBufferCount(), 0);

    line_->farEndSends("0123456789");
    line_->waitForBytes(10);
    EXPECT_EQ(port().inBufferCount(), 10);
    port().setInputLen(4);
    EXPECT_EQ(port().input(), QByteArray("0123"));
    port().setInputLen(0);
    EXPECT_EQ(port().input(), QByteArray("456789"));

    line_->farEndSends("stale");
    line_->waitForBytes(5);
    port().discardInput();
    EXPECT_EQ(port().inBufferCount(), 0);
    line_->farEndSends("new");
    line_->waitForBytes(3);
    EXPECT_EQ(port().input(), QByteArray("new"));
}

TEST_P(SerialPortContract, SettingsAndOutputAreOnTheLineWhenTheCallReturns) {
    port().setSettings(QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(port().settings(), QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(line_->farEndBaud(), 19200);
    // The port keeps nothing back for the event loop to write later: the far end receives the
    // bytes while the program goes on blocking.
    port().output(QByteArray("\x7D\x00\x0C", 3));
    EXPECT_EQ(line_->farEndReceived(3), QByteArray("\x7D\x00\x0C", 3));
}

TEST_P(SerialPortContract, RefusesWhatTheSerialControlRefuses) {
    const auto expectError = [](int number, const std::function<void()>& operation) {
        try {
            operation();
            ADD_FAILURE() << "no error " << number;
        } catch (const PortError& e) {
            EXPECT_EQ(e.number(), number);
        }
    };
    expectError(ErrorNumber::PortAlreadyOpen, [this] { port().setCommPort(2); });
    expectError(ErrorNumber::SettingsNotApplied,
                [this] { port().setSettings(QStringLiteral("9600,x,8,1")); });
    port().setPortOpen(false);
    EXPECT_THROW(port().input(), PortError);
    EXPECT_THROW(port().output("x"), PortError);
    port().discardInput();  // allowed on a closed port
    port().setCommPort(7);  // no device behind 7
    expectError(ErrorNumber::InvalidPortNumber, [this] { port().setPortOpen(true); });
    EXPECT_FALSE(port().portOpen());
}

TEST(QtSerialPortOnAPseudoTerminal, ABurstOfSingleBytesIsDeliveredInFewEvents) {
    PtyHarness line;
    SerialPort& port = line.openPort(1);
    int events = 0;
    QByteArray received;
    QObject::connect(&port, &SerialPort::onComm, [&] {
        ++events;
        received += port.input();
    });
    // 200 bytes one at a time, each on the slave side before the next is sent, as a slow line
    // delivers them, with the event loop running between them.
    const QByteArray sent = QByteArray("abcdefghijklmnopqrstuvwxy").repeated(8);
    for (qsizetype i = 1; i <= sent.size(); ++i) {
        line.farEndSends(sent.mid(i - 1, 1));
        ASSERT_TRUE(line.runUntil([&] { return received.size() + port.inBufferCount() == i; }));
    }
    ASSERT_TRUE(line.runUntil([&] { return received == sent; }));
    EXPECT_LT(events, 100) << "one event per burst, not one per byte";
}

TEST(QtSerialPortOnAPseudoTerminal, EventsKeepComingWhileAHandlerRunsAModalLoop) {
    // A handler that reads and then opens a modal window (a nested event loop) must not stop the
    // line: further receive events are handled inside that loop, nothing is lost, and no event is
    // delivered from inside the port's own calls.
    PtyHarness line;
    SerialPort& port = line.openPort(1);
    int nested = 0;
    bool inLoop = false;
    bool modalDone = false;
    bool inPortCall = false;
    bool deliveredInsideACall = false;
    QByteArray received;
    QByteArray sent("first\r");
    QObject::connect(&port, &SerialPort::onComm, [&] {
        deliveredInsideACall = deliveredInsideACall || inPortCall;
        inPortCall = true;
        received += port.input();
        inPortCall = false;
        if (inLoop || modalDone) {
            nested += inLoop ? 1 : 0;
            return;
        }
        inLoop = true;
        QEventLoop modal;
        // Inside the modal loop: one more line each time the last one was handled, until three
        // nested events came (the single shot only bounds a failing run).
        QTimer feed;
        QObject::connect(&feed, &QTimer::timeout, [&] {
            if (nested >= 3) {
                modal.quit();
            } else if (received == sent) {
                line.farEndSends("more\r");
                sent += "more\r";
            }
        });
        feed.start(5);
        QTimer::singleShot(10000, &modal, &QEventLoop::quit);
        modal.exec();
        inLoop = false;
        modalDone = true;
    });
    line.farEndSends("first\r");
    ASSERT_TRUE(line.runUntil([&] { return modalDone && received == sent; }, 15000));
    EXPECT_GE(nested, 3);
    EXPECT_FALSE(deliveredInsideACall);
}

TEST(QtSerialPortOnAPseudoTerminal, AVanishedDeviceClosesThePortAndRaisesAnEvent) {
    PtyHarness line;
    SerialPort& port = line.openPort(1);
    bool lost = false;
    QObject::connect(&port, &SerialPort::onComm,
                     [&] { lost = lost || port.commEvent() == CommEvent::DeviceLost; });
    line.hangUp();
    EXPECT_TRUE(line.runUntil([&] { return !port.portOpen() && lost; }));
}

template <typename Harness>
std::unique_ptr<LineHarness> make() {
    return std::make_unique<Harness>();
}
INSTANTIATE_TEST_SUITE_P(Fake, SerialPortContract, ::testing::Values(&make<FakeHarness>));
INSTANTIATE_TEST_SUITE_P(PseudoTerminal, SerialPortContract, ::testing::Values(&make<PtyHarness>));

}  // namespace
}  // namespace tarquel
