// tarquel-cli: the unit link and the workflows on the command line, for scripts and service
// benches.
#include "cli/Cli.h"
#include "platform/Errors.h"
#include "platform/QtSerialPort.h"
#include "platform/RealClock.h"
#include "platform/Version.h"
#include "records/DataFolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <atomic>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>

namespace {

// Ctrl+C once asks the command to end as at the end of input (monitor, calibrate); a second one
// ends the program at once.
std::atomic<bool> ctrlCPressed{false};

void onCtrlC(int /*signal*/) {
    ctrlCPressed = true;
    std::signal(SIGINT, SIG_DFL);
}

// Standard input, read line by line on a thread of its own so that a command can go on talking
// to the unit while it waits for the operator.
class StdinLineInput : public tarquel::LineInput {
public:
    StdinLineInput() {
        std::thread([this] {
            std::string line;
            while (std::getline(std::cin, line)) {
                const std::lock_guard<std::mutex> lock(mutex_);
                lines_.push_back(QString::fromLocal8Bit(line.c_str()).remove(QLatin1Char('\r')));
                ready_.notify_all();
            }
            const std::lock_guard<std::mutex> lock(mutex_);
            eof_ = true;
            ready_.notify_all();
        }).detach();
    }

    std::optional<QString> takeLine() override {
        const std::lock_guard<std::mutex> lock(mutex_);
        return popLocked();
    }
    std::optional<QString> waitLine() override {
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait(lock, [this] { return !lines_.empty() || eof_; });
        return popLocked();
    }
    bool ended() const override {
        if (ctrlCPressed) {
            return true;
        }
        const std::lock_guard<std::mutex> lock(mutex_);
        return eof_ && lines_.empty();
    }
    bool interrupted() const override { return ctrlCPressed; }

private:
    std::optional<QString> popLocked() {
        if (lines_.empty()) {
            return std::nullopt;
        }
        QString line = lines_.front();
        lines_.pop_front();
        return line;
    }

    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<QString> lines_;
    bool eof_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    // The calibration report needs fonts, and so an application of the GUI kind; it opens no
    // window, so the offscreen platform serves on machines without a display.
    bool report = false;
    for (int i = 1; i < argc; ++i) {
        report = report || std::string(argv[i]) == "--report";
    }
    if (report && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const std::unique_ptr<QCoreApplication> app =
        report ? std::make_unique<QGuiApplication>(argc, argv)
               : std::make_unique<QCoreApplication>(argc, argv);
    // The same data folder as the window's.
    QCoreApplication::setApplicationName(QLatin1String(tarquel::kApplicationTitle));
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        out << tarquel::cliUsage();
        return tarquel::CliExit::Ok;
    }
    tarquel::CliRequest request;
    QString error;
    if (!tarquel::parseCliArguments(arguments, request, error)) {
        err << "tarquel-cli: " << error << "\n\n" << tarquel::cliUsage();
        return tarquel::CliExit::BadArguments;
    }
    int code = tarquel::CliExit::Ok;
    if (tarquel::runCliFileCommand(request, tarquel::dataFolder(), out, err, code)) {
        return code;
    }
    const tarquel::PortDirectory directory = request.device.isEmpty()
                                                 ? tarquel::PortDirectory::fromEnvironment()
                                                 : tarquel::PortDirectory({request.device});
    QFile trace(request.trace);
    if (!request.trace.isEmpty() && !trace.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        err << "tarquel-cli: cannot write the trace " << request.trace << ": "
            << trace.errorString() << "\n";
        return tarquel::CliExit::BadArguments;
    }
    auto port = std::make_unique<tarquel::QtSerialPort>(directory);
    if (trace.isOpen()) {
        port->setTrace(&trace);
    }
    tarquel::RealClock clock;
    try {
        port->setCommPort(request.device.isEmpty() ? request.port : 1);
        port->setSettings(QString::number(request.baud) + QStringLiteral(",n,8,1"));
        port->setPortOpen(true);
    } catch (const tarquel::RuntimeError& e) {
        const QString device =
            port->deviceName().isEmpty() ? QStringLiteral("(no device)") : port->deviceName();
        err << "tarquel-cli: cannot open " << device << ": " << e.description() << " (error "
            << e.number() << ")\n";
        return tarquel::CliExit::PortFailure;
    }
    std::signal(SIGINT, onCtrlC);
    StdinLineInput input;
    return tarquel::runCliCommand(request, std::move(port), clock, out, err, input);
}
