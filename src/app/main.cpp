// Tarquel: heading calibration of Corvane sensor units.
#include "app/Application.h"
#include "app/FrmMain.h"
#include "app/FrmSplash.h"
#include "app/ThemeStyle.h"
#include "platform/PortDirectory.h"
#include "platform/QtFileDialogs.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSerialPort.h"
#include "platform/RealClock.h"
#include "platform/Version.h"
#include "records/DataFolder.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

// In screenshot runs nobody answers message boxes: each is printed and given its default answer.
class PrintedMessageBoxes : public tarquel::MessageBoxes {
public:
    tarquel::MsgAnswer show(const tarquel::MsgBox& box) override {
        QString text = box.prompt;
        text.replace(QLatin1String("\r\n"), QLatin1String(" / "))
            .replace(QLatin1Char('\r'), QLatin1String(" / "));
        std::printf("Message box \"%s\": %s\n", qPrintable(box.title), qPrintable(text));
        std::fflush(stdout);
        return box.defaultAnswer();
    }
};

struct ProcessUsage {
    double cpuMs = 0;
    long peakKiB = 0;
};

// CPU time used so far and the peak resident memory of this process.
ProcessUsage processUsage() {
    ProcessUsage usage;
#ifdef Q_OS_UNIX
    rusage self{};
    if (getrusage(RUSAGE_SELF, &self) == 0) {
        usage.cpuMs = (self.ru_utime.tv_sec + self.ru_stime.tv_sec) * 1000.0 +
                      (self.ru_utime.tv_usec + self.ru_stime.tv_usec) / 1000.0;
        usage.peakKiB = self.ru_maxrss;
    }
#endif
    return usage;
}

// The resident memory of this process now, in KiB (0 where unknown).
long residentKiB() {
#ifdef Q_OS_LINUX
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (statm.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> fields = statm.readAll().split(' ');
        if (fields.size() > 1) {
            return fields[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024);
        }
    }
#endif
    return 0;
}

// After the main window is up: the CPU share over ms milliseconds, the resident memory once a
// minute and at the end, the peak; then the program ends.
void measureThenQuit(tarquel::Application& application, int ms) {
    QObject::connect(&application, &tarquel::Application::mainWindowShown, [&application, ms] {
        const ProcessUsage atShow = processUsage();
        auto* elapsed = new QElapsedTimer;
        elapsed->start();
        auto* minute = new QTimer(&application);
        QObject::connect(minute, &QTimer::timeout, [elapsed] {
            std::printf("After %lld s: resident %.1f MiB\n", elapsed->elapsed() / 1000,
                        residentKiB() / 1024.0);
            std::fflush(stdout);
        });
        minute->start(60000);
        QTimer::singleShot(ms, &application, [atShow, ms, elapsed, minute] {
            // The last minute's report may be due at the same moment: it goes with the timer.
            delete minute;
            const ProcessUsage atEnd = processUsage();
            const double cpuMs = atEnd.cpuMs - atShow.cpuMs;
            std::printf(
                "Measured %d ms: CPU %.0f ms (%.2f %% of a core), resident %.1f MiB, "
                "peak %.1f MiB\n",
                ms, cpuMs, 100.0 * cpuMs / ms, residentKiB() / 1024.0, atEnd.peakKiB / 1024.0);
            std::fflush(stdout);
            delete elapsed;
            QApplication::quit();
        });
    });
}

bool saveShot(QWidget* window, const QString& path) {
    if (window == nullptr || !window->grab().save(path)) {
        std::fprintf(stderr, "tarquel: could not write %s\n", qPrintable(path));
        return false;
    }
    std::printf("Screenshot written: %s\n", qPrintable(QDir(path).absolutePath()));
    std::fflush(stdout);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(new tarquel::ThemeStyle);
    QApplication::setApplicationName(QLatin1String(tarquel::kApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(tarquel::kVersionMajor)
                                            .arg(tarquel::kVersionMinor)
                                            .arg(tarquel::kVersionRevision));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Heading calibration of Corvane sensor units."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption shotDir(
        QStringLiteral("screenshot-dir"),
        QStringLiteral("Save screenshots of the splash and main windows in DIR, then exit."),
        QStringLiteral("DIR"));
    const QCommandLineOption shotDelay(
        QStringLiteral("screenshot-delay"),
        QStringLiteral("Milliseconds of live data before the main window's screenshot."),
        QStringLiteral("MS"), QStringLiteral("4000"));
    const QCommandLineOption measure(
        QStringLiteral("measure-ms"),
        QStringLiteral("Once connected, measure CPU time and memory for MS milliseconds, print "
                       "them and exit (message boxes get their default answers)."),
        QStringLiteral("MS"));
    parser.addOption(shotDir);
    parser.addOption(shotDelay);
    parser.addOption(measure);
    parser.process(app);
    const bool screenshots = parser.isSet(shotDir) || parser.isSet(measure);

    tarquel::RealClock clock;
    tarquel::QtMessageBoxes windowBoxes;
    PrintedMessageBoxes printedBoxes;
    tarquel::QtFileDialogs fileDialogs;
    tarquel::QtDesktopServices desktop;
    const tarquel::PortDirectory directory = tarquel::PortDirectory::fromEnvironment();
    tarquel::AppServices services{
        clock,
        screenshots ? static_cast<tarquel::MessageBoxes&>(printedBoxes) : windowBoxes,
        [&directory] { return std::make_unique<tarquel::QtSerialPort>(directory); },
        [&directory](int port) { return directory.deviceFor(port); },
        [](const QString& name) { return qEnvironmentVariable(qPrintable(name)); },
        fileDialogs,
        desktop};
    services.records = tarquel::RecordsSettings{tarquel::dataFolder(), tarquel::BackupFailure::Ask,
                                                QLatin1String(tarquel::kVersionText)};
    tarquel::Application application(services);

    if (parser.isSet(measure)) {
        measureThenQuit(application, parser.value(measure).toInt());
    } else if (screenshots) {
        const QString dir = parser.value(shotDir);
        QDir().mkpath(dir);
        const int delay = parser.value(shotDelay).toInt();
        QObject::connect(&application, &tarquel::Application::splashShown, [&application, dir] {
            QTimer::singleShot(1200, &application, [&application, dir] {
                if (application.splash() != nullptr && application.splash()->isVisible()) {
                    saveShot(application.splash(), dir + QStringLiteral("/splash.png"));
                }
            });
        });
        QObject::connect(
            &application, &tarquel::Application::mainWindowShown, [&application, dir, delay] {
                const ProcessUsage atShow = processUsage();
                QTimer::singleShot(delay, &application, [&application, dir, delay, atShow] {
                    tarquel::FrmMain* window = application.mainWindow();
                    saveShot(window, dir + QStringLiteral("/main.png"));
                    // What the window showed, for a quick check without looking at the picture.
                    QString software = window->label("lblSoftwareInfo")->text();
                    software.replace(QLatin1Char('\n'), QLatin1Char(' '));
                    std::printf(
                        "%s, frame count %s, %s\n", qPrintable(window->label("Label10")->text()),
                        qPrintable(window->label("lblFrame")->text()), qPrintable(software));
                    const ProcessUsage atEnd = processUsage();
                    const double cpuMs = atEnd.cpuMs - atShow.cpuMs;
                    std::printf(
                        "Connected for %d ms: CPU %.0f ms (%.2f %% of a core), peak memory %.1f "
                        "MiB\n",
                        delay, cpuMs, 100.0 * cpuMs / delay, atEnd.peakKiB / 1024.0);
                    std::fflush(stdout);
                    QApplication::quit();
                });
            });
    }
    QObject::connect(&application, &tarquel::Application::startupAbandoned, &app,
                     &QApplication::quit, Qt::QueuedConnection);
    QTimer::singleShot(0, &application, [&application] { application.start(); });
    return QApplication::exec();
}
