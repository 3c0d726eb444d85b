#pragma once

#include <QString>
#include <QStringView>
#include <functional>

namespace tarquel {

class UnitLink;

// The data terminal's text: received data with its line feeds removed and every carriage return
// followed by a line feed, kept to a bounded length. Once the text holds more than 7300
// characters it is cut to its part from character 2000 on before new data is added.
class TerminalText {
public:
    static constexpr int kTrimAbove = 7300;
    static constexpr int kDropped = 1999;  // the text from character 2000 on stays

    // What the text box has to do with one ProcessData call: replace its whole text (after a
    // trim, a few times a second at most on a saturated line) or append.
    struct Update {
        bool replaceAll = false;
        QString text;
    };
    Update ProcessData(QStringView data);

    const QString& text() const { return text_; }

    // Received data as the terminal shows it: LF removed, CR becomes CR LF.
    static QString displayForm(QStringView data);

private:
    QString text_;
};

// The data terminal's dealings with the unit: a typed character goes to the unit with its 50 ms
// pause; closing blanks the live values and, once a unit is identified, puts it back into decimal
// output with write access switched on.
class DataTerminalSession {
public:
    DataTerminalSession(UnitLink& link, std::function<void()> resetDataWindows);

    // The key-down rule: Ctrl or Alt held leaves the key to the text box (the clipboard keys).
    void keyDown(bool ctrlOrAlt) { modifierDown_ = ctrlOrAlt; }
    bool modifierDown() const { return modifierDown_; }
    // The key-press rule: without a modifier the character is sent to the unit and consumed
    // (true); the text box never receives it.
    bool keyPress(QChar character);

    void Unload();

private:
    UnitLink& link_;
    std::function<void()> resetDataWindows_;
    bool modifierDown_ = false;
};

}  // namespace tarquel
