#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

namespace tarquel {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { OK, OKCancel, YesNo };
// The values are the result codes of the standard message box.
enum class MsgAnswer { OK = 1, Cancel = 2, Yes = 6, No = 7 };

// One standard message box: prompt, title (empty: the application's title), icon, buttons and
// the index of the default button.
struct MsgBox {
    QString prompt;
    QString title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::OK;
    int defaultButton = 0;

    // The answer of the default button.
    MsgAnswer defaultAnswer() const;
};

// A box with one OK button whose prompt is lines joined by CR LF.
MsgBox okBox(const QStringList& lines, const QString& title, MsgIcon icon);

// Shows modal message boxes.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MsgAnswer show(const MsgBox& box) = 0;
};

// Test double: records every box and answers from a queue; with the queue empty it answers with
// the box's default button.
class ScriptedMessageBoxes : public MessageBoxes {
public:
    MsgAnswer show(const MsgBox& box) override;

    void queueAnswer(MsgAnswer answer) { answers_.push_back(answer); }
    const std::vector<MsgBox>& shown() const { return shown_; }
    void clear() { shown_.clear(); }

private:
    std::vector<MsgBox> shown_;
    std::deque<MsgAnswer> answers_;
};

// Writes each box to standard error and answers with its default button (command-line tools).
class ConsoleMessageBoxes : public MessageBoxes {
public:
    MsgAnswer show(const MsgBox& box) override;
};

}  // namespace tarquel
