#include "livedata/DataTerminalSession.h"

#include "platform/Errors.h"
#include "unitlink/UnitCommands.h"
#include "unitlink/UnitLink.h"

namespace tarquel {

QString TerminalText::displayForm(QStringView data) {
    QString shown;
    shown.reserve(data.size() + data.size() / 8);
    for (const QChar c : data) {
        if (c == QLatin1Char('\n')) {
            continue;
        }
        shown += c;
        if (c == QLatin1Char('\r')) {
            shown += QLatin1Char('\n');
        }
    }
    return shown;
}

TerminalText::Update TerminalText::ProcessData(QStringView data) {
    Update update;
    if (text_.size() > kTrimAbove) {
        text_.remove(0, kDropped);
        update.replaceAll = true;
    }
    const QString shown = displayForm(data);
    text_ += shown;
    update.text = update.replaceAll ? text_ : shown;
    return update;
}

DataTerminalSession::DataTerminalSession(UnitLink& link, std::function<void()> resetDataWindows)
    : link_(link), resetDataWindows_(std::move(resetDataWindows)) {}

bool DataTerminalSession::keyPress(QChar character) {
    if (modifierDown_) {
        return false;
    }
    try {
        link_.SendCommandText(QString(character));
    } catch (const RuntimeError&) {
        // A port that went away: the character is lost, as it would be on a broken line.
    }
    return true;
}

void DataTerminalSession::Unload() {
    if (resetDataWindows_) {
        resetDataWindows_();
    }
    if (!link_.unitAddresses().addressesSet) {
        return;
    }
    try {
        link_.access().SetWriteAccess(link_.port(), true);
        link_.Delay(50);
        link_.SendCommandText(UnitCommand::DecimalOutput);
    } catch (const RuntimeError&) {
    }
}

}  // namespace tarquel
