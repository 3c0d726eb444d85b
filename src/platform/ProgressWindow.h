#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <vector>

namespace tarquel {

class Clock;

// The application's one "Please Wait ..." window as the unit operations see it. The operation
// that opens it closes it on every path out, the error paths included. Which window owns it is the
// implementation's business (the window that started the operation).
class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;

    // Does nothing at all while the window is visible. Otherwise shows message with the hourglass
    // pointer and lets it be painted before the caller goes on with its blocking work.
    virtual void OpenProcessWindow(const QString& message) = 0;
    // Replaces the message.
    virtual void ChangeProcessText(const QString& message) = 0;
    virtual void CloseProcessWindow() = 0;
    virtual bool processWindowVisible() const = 0;
    // How far a long operation has got, for example words read of a map (done of total). Shown
    // as a percentage below the message; total 0 hides it.
    virtual void setProcessProgress(int done, int total) = 0;
};

// Test double: keeps the window's state and a log of every call, with the clock's time when one
// is given.
class RecordingProgressWindow : public ProgressWindow {
public:
    enum class Call { Open, Change, Close, Progress };
    struct Entry {
        Call call;
        QString text;  // the message; for Progress "done/total"
        qint64 atMs;
    };

    explicit RecordingProgressWindow(const Clock* clock = nullptr) : clock_(clock) {}

    void OpenProcessWindow(const QString& message) override;
    void ChangeProcessText(const QString& message) override;
    void CloseProcessWindow() override;
    bool processWindowVisible() const override { return visible_; }
    void setProcessProgress(int done, int total) override;

    const std::vector<Entry>& log() const { return log_; }
    // The messages shown, in order (opens and changes that took effect).
    QStringList messages() const;
    QString message() const { return message_; }
    int opens() const;
    int lastDone() const { return lastDone_; }
    int lastTotal() const { return lastTotal_; }

private:
    void record(Call call, const QString& text);

    const Clock* clock_;
    std::vector<Entry> log_;
    bool visible_ = false;
    QString message_;
    int lastDone_ = 0;
    int lastTotal_ = 0;
};

// Command-line tools: each message on its own line of the stream ("Recalculating Checksum ..."),
// the percentage rewritten in place on a terminal.
class ConsoleProgressWindow : public ProgressWindow {
public:
    explicit ConsoleProgressWindow(QTextStream& out) : out_(out) {}

    void OpenProcessWindow(const QString& message) override;
    void ChangeProcessText(const QString& message) override;
    void CloseProcessWindow() override;
    bool processWindowVisible() const override { return visible_; }
    void setProcessProgress(int done, int total) override;

private:
    void endProgressLine();

    QTextStream& out_;
    bool visible_ = false;
    int lastPercent_ = -1;
};

}  // namespace tarquel
