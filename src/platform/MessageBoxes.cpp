#include "platform/MessageBoxes.h"

#include "platform/LineEnds.h"

#include <cstdio>

namespace tarquel {

MsgAnswer MsgBox::defaultAnswer() const {
    switch (buttons) {
        case MsgButtons::OK:
            return MsgAnswer::OK;
        case MsgButtons::OKCancel:
            return defaultButton == 1 ? MsgAnswer::Cancel : MsgAnswer::OK;
        case MsgButtons::YesNo:
            return defaultButton == 1 ? MsgAnswer::No : MsgAnswer::Yes;
    }
    return MsgAnswer::OK;
}

MsgBox okBox(const QStringList& lines, const QString& title, MsgIcon icon) {
    return {lines.join(kCrLf), title, icon, MsgButtons::OK};
}

MsgAnswer ScriptedMessageBoxes::show(const MsgBox& box) {
    shown_.push_back(box);
    if (answers_.empty()) {
        return box.defaultAnswer();
    }
    const MsgAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

MsgAnswer ConsoleMessageBoxes::show(const MsgBox& box) {
    const QString text = plainLines(box.prompt);
    const QString title = box.title.isEmpty() ? QStringLiteral("Tarquel") : box.title;
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    return box.defaultAnswer();
}

}  // namespace tarquel
