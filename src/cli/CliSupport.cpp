#include "cli/CliCommand.h"

#include "platform/LineEnds.h"

namespace tarquel {

QString printableText(const QString& text) {
    QString out;
    for (const QChar c : plainLines(text)) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\t') ||
            (c.unicode() >= 0x20 && c.unicode() < 0x7F) || c.unicode() == 0xB0) {
            out += c;
        }
    }
    return out;
}

MsgAnswer CliMessageBoxes::show(const MsgBox& box) {
    const QString title = box.title.isEmpty() ? QStringLiteral("Tarquel") : box.title;
    if (box.buttons != MsgButtons::YesNo) {
        err_ << title << ": " << printableText(box.prompt) << "\n";
        err_.flush();
        return box.defaultAnswer();
    }
    const MsgAnswer fallback = box.defaultAnswer();
    out_ << title << "\n" << printableText(box.prompt) << "\n";
    if (assumeYes_) {
        out_ << (fallback == MsgAnswer::Yes ? "[Y/n] " : "[y/N] ") << "y (--yes)\n";
        out_.flush();
        return MsgAnswer::Yes;
    }
    out_ << (fallback == MsgAnswer::Yes ? "[Y/n] " : "[y/N] ");
    out_.flush();
    const std::optional<QString> line = input_.waitLine();
    if (!line) {
        out_ << "\n";
        return fallback;
    }
    const QString answer = line->trimmed().toLower();
    if (answer == QLatin1String("y") || answer == QLatin1String("yes")) {
        return MsgAnswer::Yes;
    }
    if (answer == QLatin1String("n") || answer == QLatin1String("no")) {
        return MsgAnswer::No;
    }
    return fallback;
}

}  // namespace tarquel
