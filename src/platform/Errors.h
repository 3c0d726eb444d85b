#pragma once

#include <QString>
#include <stdexcept>

namespace tarquel {

// Numbers of the run-time errors the program reports or reacts to. The serial-port numbers are
// those of the Windows serial control, which technicians know from its messages.
namespace ErrorNumber {
constexpr int Overflow = 6;
constexpr int SubscriptOutOfRange = 9;
constexpr int DivisionByZero = 11;
constexpr int TypeMismatch = 13;
constexpr int InvalidPortNumber = 8002;
constexpr int PortAlreadyOpen = 8005;
constexpr int PortNotAvailable = 8010;
constexpr int PortNotOpen = 8012;
constexpr int SettingsNotApplied = 8015;
constexpr int ReadFailed = 8020;
constexpr int ControlBlockFailed = 8021;
}  // namespace ErrorNumber

// A run-time error: a condition the program detects (an overflow, a division by zero, a text that
// is not a number, a serial port that refuses an operation) and that the handler of the operator's
// action catches and reports by number and description.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const QString& description)
        : std::runtime_error(description.toStdString()),
          number_(number),
          description_(description) {}

    int number() const { return number_; }
    QString description() const { return description_; }

private:
    int number_;
    QString description_;
};

class OverflowError : public RuntimeError {
public:
    OverflowError() : RuntimeError(ErrorNumber::Overflow, QStringLiteral("Overflow")) {}
};

class DivisionByZeroError : public RuntimeError {
public:
    DivisionByZeroError()
        : RuntimeError(ErrorNumber::DivisionByZero, QStringLiteral("Division by zero")) {}
};

class TypeMismatchError : public RuntimeError {
public:
    TypeMismatchError()
        : RuntimeError(ErrorNumber::TypeMismatch, QStringLiteral("Type mismatch")) {}
};

// An operation of a serial port failed (the port does not exist, cannot be opened, is not open,
// refused its settings, or a read failed).
class PortError : public RuntimeError {
public:
    using RuntimeError::RuntimeError;
};

// The text every "Program Error!" box shows: "Error Number 8002 - Invalid Port Number has occurred
// in frmMain.Load. Please contact Corvane Industries."
QString programErrorText(const RuntimeError& error, const QString& place);

}  // namespace tarquel
