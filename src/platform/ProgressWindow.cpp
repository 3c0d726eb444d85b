#include "platform/ProgressWindow.h"

#include "platform/Clock.h"

#include <QStringList>

namespace tarquel {

void RecordingProgressWindow::record(Call call, const QString& text) {
    log_.push_back({call, text, clock_ != nullptr ? clock_->tickCount() : 0});
}

void RecordingProgressWindow::OpenProcessWindow(const QString& message) {
    if (visible_) {
        return;
    }
    visible_ = true;
    message_ = message;
    record(Call::Open, message);
}

void RecordingProgressWindow::ChangeProcessText(const QString& message) {
    message_ = message;
    record(Call::Change, message);
}

void RecordingProgressWindow::CloseProcessWindow() {
    visible_ = false;
    message_.clear();
    lastDone_ = 0;
    lastTotal_ = 0;
    record(Call::Close, QString());
}

void RecordingProgressWindow::setProcessProgress(int done, int total) {
    lastDone_ = done;
    lastTotal_ = total;
    record(Call::Progress, QStringLiteral("%1/%2").arg(done).arg(total));
}

QStringList RecordingProgressWindow::messages() const {
    QStringList shown;
    for (const Entry& entry : log_) {
        if (entry.call == Call::Open || entry.call == Call::Change) {
            shown << entry.text;
        }
    }
    return shown;
}

int RecordingProgressWindow::opens() const {
    int count = 0;
    for (const Entry& entry : log_) {
        count += entry.call == Call::Open ? 1 : 0;
    }
    return count;
}

void ConsoleProgressWindow::endProgressLine() {
    if (lastPercent_ >= 0) {
        out_ << "\n";
        lastPercent_ = -1;
    }
}

void ConsoleProgressWindow::OpenProcessWindow(const QString& message) {
    if (visible_) {
        return;
    }
    visible_ = true;
    ChangeProcessText(message);
}

void ConsoleProgressWindow::ChangeProcessText(const QString& message) {
    endProgressLine();
    out_ << message << " ...\n";
    out_.flush();
}

void ConsoleProgressWindow::CloseProcessWindow() {
    endProgressLine();
    out_.flush();
    visible_ = false;
}

void ConsoleProgressWindow::setProcessProgress(int done, int total) {
    if (total <= 0) {
        endProgressLine();
        return;
    }
    const int percent = static_cast<int>(100LL * done / total);
    if (percent == lastPercent_) {
        return;
    }
    lastPercent_ = percent;
    out_ << "\r  " << percent << " %";
    out_.flush();
}

}  // namespace tarquel
