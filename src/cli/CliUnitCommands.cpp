// The unit link's own operations: identify, read, write, checksum, channels, set-channels.
#include "cli/CliCommand.h"

#include "unitlink/HexText.h"
#include "unitlink/UnitCommands.h"

namespace tarquel {

namespace {

bool checkWordArgs(CliRequest& request, QString& error) {
    for (QString& word : request.args) {
        if (!isWordText(word)) {
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
    if (!c.link.fInit(true)) {
        return c.noUnit();
    }
    c.out << "Family: " << (c.link.unitAddresses().isB600Family ? "B600" : "1600") << "\n"
          << printableText(c.link.idText()) << "\n";
    return CliExit::Ok;
}

int read(CliContext& c) {
    const QString& address = c.request.args[0];
    const QString word = c.link.fReadFromUnit(address);
    if (word == kReadError) {
        c.err << "tarquel-cli: no answer to the read of " << address << "\n";
        return CliExit::NoAnswer;
    }
    c.out << address << " = " << word << "\n";
    return CliExit::Ok;
}

int write(CliContext& c) {
    const QString& address = c.request.args[0];
    const QString& value = c.request.args[1];
    if (!c.link.fInit(false)) {
        return c.noUnit();
    }
    if (!c.link.fWriteAccess()) {
        c.err << "tarquel-cli: the unit refused write access\n";
        return CliExit::NotVerified;
    }
    if (!c.link.fWriteToUnit(address, value)) {
        const QString now = c.link.fReadFromUnit(address);
        c.err << "tarquel-cli: the write of " << value << " to " << address
              << " did not verify (the unit reads " << now << ")\n";
        return CliExit::NotVerified;
    }
    c.out << address << " = " << value << " (verified)\n";
    return CliExit::Ok;
}

int checksum(CliContext& c) {
    QString text;
    if (!c.access.ReadChecksumByte(c.port, text)) {
        return c.noUnit();
    }
    c.out << "Checksum = " << text << "\n";
    return CliExit::Ok;
}

int channels(CliContext& c) {
    QString selection;
    if (!c.link.fGetChannels(selection)) {
        return c.noUnit();
    }
    c.out << "Channels = " << selection << "\n";
    return CliExit::Ok;
}

int setChannels(CliContext& c) {
    const QString& selection = c.request.args[0];
    if (!c.link.fInit(false)) {
        return c.noUnit();
    }
    const bool named = selection == QLatin1String("accel") || selection == QLatin1String("pend");
    if (named) {
        c.state.calMode =
            selection == QLatin1String("accel") ? CalMode::Accelerometer : CalMode::Pendulum;
    } else {
        c.state.savedChannels = selection.toUpper();
    }
    if (!c.link.fSetChannels(!named)) {
        c.err << "tarquel-cli: the unit refused write access\n";
        return CliExit::NotVerified;
    }
    c.out << "Channels = "
          << (!named                                      ? c.state.savedChannels
              : c.state.calMode == CalMode::Accelerometer ? kAccelChannels
                                                          : kPendChannels)
          << "\n";
    return CliExit::Ok;
}

const CliCommandSpec kCommands[] = {
    {"identify", "  identify                 map family and identification text\n", 0, 0, false,
     false, nullptr, identify},
    {"read", "  read ADDR                the word at ADDR (four hex digits)\n", 1, 1, false, false,
     checkWordArgs, read},
    {"write", "  write ADDR VALUE         switch write access on, write VALUE and verify it\n", 2,
     2, false, false, checkWordArgs, write},
    {"checksum", "  checksum                 the EEPROM checksum byte\n", 0, 0, false, false,
     nullptr, checksum},
    {"channels", "  channels                 the unit's output-channel selection\n", 0, 0, false,
     false, nullptr, channels},
    {"set-channels",
     "  set-channels accel|pend|SELECTION\n"
     "                           select the calibration channels or ten hex digits\n",
     1, 1, false, false, checkSelection, setChannels},
};

}  // namespace

std::span<const CliCommandSpec> unitLinkCommands() {
    return kCommands;
}

}  // namespace tarquel
