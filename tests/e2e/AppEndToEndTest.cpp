// The whole program in real time, headless, against tarquel-unitsim programs on pseudo-terminals
// that TARQUEL_PORTS maps to port numbers.
#include "UnitSimProcess.h"
#include "app/AppServices.h"
#include "app/Application.h"
#include "app/FrmMain.h"
#include "app/FrmSplash.h"
#include "dialogs/InformationWindow.h"
#include "platform/MessageBoxes.h"
#include "platform/PortDirectory.h"
#include "platform/QtSerialPort.h"
#include "platform/RealClock.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

namespace tarquel {
namespace {

using test::UnitSimProcess;

// The program as main() builds it, with the ports of TARQUEL_PORTS and boxes the test answers.
class RealApp {
public:
    explicit RealApp(const QStringList& devices)
        : directory_((qputenv("TARQUEL_PORTS", devices.join(QLatin1Char(':')).toLocal8Bit()),
                      PortDirectory::fromEnvironment())),
          services_{clock_,
                    boxes_,
                    [this] { return std::make_unique<QtSerialPort>(directory_); },
                    [this](int port) { return directory_.deviceFor(port); },
                    [](const QString& name) { return qEnvironmentVariable(qPrintable(name)); },
                    fileDialogs_,
                    desktop_},
          app_(services_) {
        qunsetenv("TARQUEL_PORTS");
    }

    // Runs the event loop until done() holds or ms pass.
    static bool runUntil(const std::function<bool()>& done, int ms) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return done();
    }
    static void runFor(int ms) {
        runUntil([] { return false; }, ms);
    }

    bool start(int ms = 30000) {
        app_.start();
        return runUntil([this] { return app_.mainWindow() != nullptr && app_.splash() == nullptr; },
                        ms);
    }

    Application& app() { return app_; }
    FrmMain& main() { return *app_.mainWindow(); }
    ScriptedMessageBoxes& boxes() { return boxes_; }

private:
    RealClock clock_;
    ScriptedMessageBoxes boxes_;
    ScriptedFileDialogs fileDialogs_;
    RecordingDesktopServices desktop_;
    PortDirectory directory_;
    AppServices services_;
    Application app_;
};

// The titles and prompts of the boxes shown, for a failure message.
std::string describe(const std::vector<MsgBox>& boxes) {
    std::string text;
    for (const MsgBox& box : boxes) {
        text += QStringLiteral("[%1] %2\n").arg(box.title, box.prompt).toStdString();
    }
    return text;
}

// What the start-up found on each port, for a failure message.
std::string describePorts(const SharedState& state) {
    std::string text;
    for (int p = 1; p <= 5; ++p) {
        const PortStatus& status = state.portStatus[p];
        text += "port " + std::to_string(p) + (status.opened ? " opened" : "") +
                (status.traffic ? " traffic" : "") + (status.modem ? " modem" : "") + "\n";
    }
    return text;
}

double leadingNumber(const QString& text) {
    QString digits;
    for (const QChar c : text) {
        if (c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('-') ||
            c == QLatin1Char('+')) {
            digits += c;
        } else {
            break;
        }
    }
    return digits.toDouble();
}

TEST(AppEndToEnd, FindsTheUnitShowsLiveDataAndNoticesSilenceAndTilt) {
    // Port 2: a modem with traffic; ports 3 and 5: units at 19200 baud; port 4: nothing.
    UnitSimProcess modem(
        {QStringLiteral("--modem"), QStringLiteral("--baud"), QStringLiteral("19200")});
    UnitSimProcess unit3({QStringLiteral("--baud"), QStringLiteral("19200"),
                          QStringLiteral("--heading"), QStringLiteral("123"),
                          QStringLiteral("--noise"), QStringLiteral("0")});
    UnitSimProcess unit5({QStringLiteral("--baud"), QStringLiteral("19200")});
    RealApp program({QStringLiteral("/nonexistent/tty0"), modem.device(), unit3.device(), QString(),
                     unit5.device()});
    ASSERT_TRUE(program.start());
    FrmMain& main = program.main();
    const SharedState& state = program.app().state();

    // Start-up: the baud test ran on port 5 and found 19200 decimal; the window opened port 3.
    EXPECT_EQ(state.activePort, 5);
    EXPECT_EQ(state.detectedBaud, 19200);
    EXPECT_EQ(state.detectedFormat, DataFormat::Decimal);
    EXPECT_TRUE(program.boxes().shown().empty()) << describe(program.boxes().shown());
    EXPECT_EQ(main.label("Label10")->text(), QStringLiteral("Comm 3"))
        << describePorts(state) << modem.command(QStringLiteral("status")).toStdString();
    EXPECT_EQ(main.label("Label8")->text(), QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(main.mnuCommPort(1)->text(), QStringLiteral("Port &2 - Modem"));
    EXPECT_FALSE(main.mnuCommPort(0)->isVisible());
    EXPECT_FALSE(main.mnuCommPort(3)->isVisible());
    EXPECT_TRUE(main.mnuCommPort(2)->isChecked());
    EXPECT_TRUE(main.unitLink().unitAddresses().isB600Family);

    // Live data: the seven values, and a frame rate that matches the unit's frame length. Waits
    // are for conditions, so a loaded machine only makes them take longer.
    ASSERT_TRUE(RealApp::runUntil([&] { return !main.DataBox(6)->text().isEmpty(); }, 10000));
    ASSERT_TRUE(
        RealApp::runUntil([&] { return main.label("lblFrame")->text().toDouble() > 20; }, 20000))
        << "frames stopped: " << main.label("lblFrame")->text().toStdString();
    for (int i = 0; i < 7; ++i) {
        EXPECT_FALSE(main.DataBox(i)->text().isEmpty()) << "value " << i;
    }
    EXPECT_NEAR(leadingNumber(main.DataBox(5)->text()), 123.0, 0.5);
    EXPECT_NEAR(leadingNumber(main.DataBox(6)->text()), 123.0, 0.5);
    // "I 123.0 0 0 -1000 -136 -210 400": 31 characters and CR, 3 cycles: 23.7 frames a second.
    EXPECT_EQ(main.label("FrameRate")->text(), QStringLiteral("23.7 Frames/Sec"));
    EXPECT_EQ(main.softwareInfoText(), QStringLiteral("Receiving Data."));

    // Silence: "Not Receiving Data." a second or more after the last frame (the timing itself is
    // tested on virtual time), the values blanked.
    EXPECT_EQ(unit3.command(QStringLiteral("stream off")), QStringLiteral("ok"));
    QElapsedTimer silence;
    silence.start();
    ASSERT_TRUE(RealApp::runUntil(
        [&] { return main.softwareInfoText() == QStringLiteral("Not Receiving Data."); }, 15000));
    EXPECT_GE(silence.elapsed(), 900);
    EXPECT_TRUE(RealApp::runUntil([&] { return main.DataBox(0)->text().isEmpty(); }, 5000));

    // Tilt: the caution line, the badge and the pop-up, once. Live data goes on while the modal
    // pop-up waits for the operator.
    std::vector<QString> popups;
    double framesWithPopupOpen = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        InformationWindow& window = InformationWindow::instance();
        if (!window.isVisible()) {
            return;
        }
        const double count = main.label("lblFrame")->text().toDouble();
        if (framesWithPopupOpen == 0) {
            framesWithPopupOpen = count;
        } else if (count > framesWithPopupOpen + 20) {
            popups.push_back(window.windowTitle());
            EXPECT_EQ(main.softwareInfoText(), QStringLiteral("Receiving Data."));
            window.btnCmd(0)->click();
        }
    });
    answer.start(50);
    EXPECT_EQ(unit3.command(QStringLiteral("tilt 15 0")), QStringLiteral("ok"));
    EXPECT_EQ(unit3.command(QStringLiteral("stream on")), QStringLiteral("ok"));
    ASSERT_TRUE(RealApp::runUntil([&] { return !popups.empty(); }, 30000))
        << "frames stopped while the pop-up was open";
    ASSERT_TRUE(RealApp::runUntil(
        [&] { return main.label("lblCaution")->text() == QStringLiteral("CAUTION"); }, 10000));
    EXPECT_EQ(main.label("lblCaution")->text(), QStringLiteral("CAUTION"));
    EXPECT_TRUE(main.informationText().startsWith(
        QStringLiteral("1.  Caution! Unit angle over 10 dg. Cal accuracy degraded.\r\n")))
        << main.informationText().toStdString();
    EXPECT_EQ(popups, (std::vector<QString>{QStringLiteral("Unit off level!")}));
    main.close();
}

TEST(AppEndToEnd, NoOpenablePortGivesTheCommunicationsError) {
    RealApp program({QStringLiteral("/nonexistent/tty0"), QStringLiteral("/nonexistent/tty1")});
    ASSERT_TRUE(program.start(5000));
    ASSERT_EQ(program.boxes().shown().size(), 1u);
    EXPECT_EQ(program.boxes().shown()[0].title, QStringLiteral("Communications Error!"));
    for (int i = 0; i < 20; ++i) {
        EXPECT_FALSE(program.main().mnuCommPort(i)->isVisible());
    }
    program.main().close();
}

TEST(AppEndToEnd, AClickOnTheSplashSkipsTheBaudTest) {
    UnitSimProcess unit({QStringLiteral("--baud"), QStringLiteral("9600")});
    RealApp program({unit.device()});
    program.app().start();
    FrmSplash* splash = program.app().splash();
    ASSERT_TRUE(RealApp::runUntil([&] { return splash->label("lblClick")->isVisible(); }, 5000));
    QTest::mouseClick(splash->label("lblClick"), Qt::LeftButton);
    ASSERT_TRUE(RealApp::runUntil(
        [&] { return program.app().mainWindow() != nullptr && program.app().splash() == nullptr; },
        10000));
    ASSERT_FALSE(program.boxes().shown().empty());
    EXPECT_EQ(program.boxes().shown()[0].title, QStringLiteral("Baud Test Skipped."));
    EXPECT_EQ(program.app().state().startupStatus, StartupStatus::BaudSkipped);
    program.main().close();
}

}  // namespace
}  // namespace tarquel
