// The unit link's own operations: identify, read, write, checksum, channels, set-channels.
#include "cli/CliCommand.h"

#include "unitlink/HexText.h"
#include "unitlink/UnitCommands.h"

namespace tarquel {

namespace {

bool checkWordArgs(CliRequest& request, QString& error) {
    for (QString& word : request.args) {
        if (!IsWordText(word)) {
            error = QStringLiteral("addresses and values are four hex digits, not ") + word;
            return false;
        }
        word = word.toUpper();
    }
    return true;
}

bool checkSelection(CliRequest& request, QString& error) {
    const QString& selection = request.args[0];
    const bool named = selection == QLatin1String("accel") || selection == QLatin1String("pend");
    if (!named && !(selection.size() == 10 && IsHexString(selection))) {
        error = QStringLiteral("set-channels takes accel, pend or ten hex digits");
        return false;
    }
    return true;
}

int identify(CliContext& c) {
    if (!c.session.link().fInit(true)) {
        return c.noUnit();
    }
    const IdentifiedUnit unit = c.session.identifiedUnit();
    c.out << "Family: " << unit.family << "\n" << printableText(unit.text) << "\n";
    if (c.request.json) {
        c.printJson({{QStringLiteral("family"), unit.family},
                     {QStringLiteral("identification"), printableText(unit.text)}});
    }
    return CliExit::Ok;
}

int read(CliContext& c) {
    const QString& address = c.request.args[0];
    const QString word = c.session.link().fReadFromUnit(address);
    if (word == kReadError) {
        c.err << "tarquel-cli: no answer to the read of " << address << "\n";
        return CliExit::NoAnswer;
    }
    c.out << address << " = " << word << "\n";
    if (c.request.json) {
        c.printJson({{QStringLiteral("address"), address}, {QStringLiteral("value"), word}});
    }
    return CliExit::Ok;
}

int write(CliContext& c) {
    const QString& address = c.request.args[0];
    const QString& value = c.request.args[1];
    UnitLink& link = c.session.link();
    if (!link.fInit(false)) {
        return c.noUnit();
    }
    if (!link.beforeChange(QStringLiteral("write"), QStringLiteral("Writing ") + address)) {
        return CliExit::NoBackup;
    }
    if (!link.fWriteAccess()) {
        c.err << "tarquel-cli: the unit refused write access\n";
        return CliExit::NotVerified;
    }
    const QString before = link.fReadFromUnit(address);
    const bool verified = link.fWriteToUnit(address, value);
    const QString now = verified ? value : link.fReadFromUnit(address);
    link.changeDone({QStringLiteral("write"),
                     verified ? QStringLiteral("done") : QStringLiteral("not-verified"),
                     QJsonObject{{QStringLiteral("address"), address},
                                 {QStringLiteral("before"), before},
                                 {QStringLiteral("value"), value},
                                 {QStringLiteral("after"), now}}});
    if (!verified) {
        c.err << "tarquel-cli: the write of " << value << " to " << address
              << " did not verify (the unit reads " << now << ")\n";
        return CliExit::NotVerified;
    }
    c.out << address << " = " << value << " (verified)\n";
    return CliExit::Ok;
}

int checksum(CliContext& c) {
    QString text;
    if (!c.session.link().access().ReadChecksumByte(c.session.MSComm1(), text)) {
        return c.noUnit();
    }
    c.out << "Checksum = " << text << "\n";
    if (c.request.json) {
        c.printJson({{QStringLiteral("checksum"), text}});
    }
    return CliExit::Ok;
}

int channels(CliContext& c) {
    QString selection;
    if (!c.session.link().fGetChannels(selection)) {
        return c.noUnit();
    }
    c.out << "Channels = " << selection << "\n";
    if (c.request.json) {
        c.printJson({{QStringLiteral("channels"), selection}});
    }
    return CliExit::Ok;
}

int setChannels(CliContext& c) {
    const QString& argument = c.request.args[0];
    UnitLink& link = c.session.link();
    if (!link.fInit(false)) {
        return c.noUnit();
    }
    const QString selection = argument == QLatin1String("accel")  ? kAccelChannels
                              : argument == QLatin1String("pend") ? kPendChannels
                                                                  : argument.toUpper();
    if (!link.fSetChannels(selection)) {
        c.err << "tarquel-cli: the unit refused write access\n";
        return CliExit::NotVerified;
    }
    c.out << "Channels = " << selection << "\n";
    return CliExit::Ok;
}

const CliCommand kCommands[] = {
    {"identify", "  identify                 map family and identification text\n", 0, 0, false,
     false, true, nullptr, identify},
    {"read", "  read ADDR                the word at ADDR (four hex digits)\n", 1, 1, false, false,
     true, checkWordArgs, read},
    {"write", "  write ADDR VALUE         switch write access on, write VALUE and verify it\n", 2,
     2, false, false, false, checkWordArgs, write},
    {"checksum", "  checksum                 the EEPROM checksum byte\n", 0, 0, false, false, true,
     nullptr, checksum},
    {"channels", "  channels                 the unit's output-channel selection\n", 0, 0, false,
     false, true, nullptr, channels},
    {"set-channels",
     "  set-channels accel|pend|SELECTION\n"
     "                           select the calibration channels or ten hex digits\n",
     1, 1, false, false, false, checkSelection, setChannels},
};

}  // namespace

std::span<const CliCommand> unitLinkCommands() {
    return kCommands;
}

}  // namespace tarquel
