#include "unitlink/PortSelection.h"

#include "platform/Errors.h"
#include "unitlink/HexText.h"
#include "unitlink/UnitCommands.h"

namespace tarquel {

namespace {
// Bits 4000 and 0800 of the first configuration word are cleared whenever a port is selected.
constexpr int kConfigBitsKept = 0xB7FF;
}  // namespace

const QStringList& offeredBaudRates() {
    static const QStringList rates = {QStringLiteral("1200"),  QStringLiteral("2400"),
                                      QStringLiteral("4800"),  QStringLiteral("9600"),
                                      QStringLiteral("19200"), QStringLiteral("38400")};
    return rates;
}

PortSelection::PortSelection(UnitLink& link, MessageBoxes& boxes, CommView& view)
    : link_(link), boxes_(boxes), view_(view) {}

QString PortSelection::currentBaud() const {
    return link_.port().settings().section(QLatin1Char(','), 0, 0);
}

void PortSelection::showPortError() {
    boxes_.show(
        okBox({QStringLiteral("An error has ocurred while attempting to access the port selected."),
               QStringLiteral("Please check port status to verify this port is still valid.")},
              QStringLiteral("Port Error!"), MsgIcon::Critical));
}

void PortSelection::selectPort(int index) {
    openPort(index, false);
}

void PortSelection::openPort(int index, bool recovering) {
    SerialPort& port = link_.port();
    const int noted = port.commPort();
    try {
        for (int i = 0; i < kPortMenuEntries; ++i) {
            if (i != index) {
                view_.setPortChecked(i, false);
                continue;
            }
            view_.setPortChecked(i, true);
            if (port.portOpen()) {
                port.setPortOpen(false);
            }
            port.setCommPort(index + 1);
            port.setPortOpen(true);
            view_.setPortCaption(QStringLiteral("Comm ") + QString::number(index + 1));
            if (link_.fInit(false)) {
                const QString config = link_.fReadFromUnit(link_.unitAddresses().configWord);
                if (config != kReadError) {
                    const int cleared = WordValue(config) & kConfigBitsKept;
                    link_.fWriteToUnit(
                        link_.unitAddresses().configWord,
                        HexWord(static_cast<float>(cleared > 32767 ? cleared - 65536 : cleared)));
                }
            }
        }
    } catch (const RuntimeError&) {
        if (port.portOpen() && port.commPort() != noted) {
            // Never leave a half-selected port open.
            try {
                port.setPortOpen(false);
            } catch (const RuntimeError&) {
            }
        }
        if (port.commPort() != noted && !recovering) {
            showPortError();
            // Back to the port in use before; if that fails too the port stays closed.
            openPort(noted - 1, true);
        }
    }
}

void PortSelection::applyBaudRate(const QString& baud) {
    SerialPort& port = link_.port();
    const QString previous = port.settings();
    if (baud != currentBaud()) {
        try {
            if (port.portOpen()) {
                port.setPortOpen(false);
            }
            port.setSettings(baud + QStringLiteral(",n,8,1"));
            port.setPortOpen(true);
        } catch (const RuntimeError&) {
            showPortError();
            try {
                if (port.portOpen()) {
                    port.setPortOpen(false);
                }
                port.setSettings(previous);
                port.setPortOpen(true);
            } catch (const RuntimeError&) {
            }
        }
    }
    view_.setSettingsCaption(port.settings());
    link_.setDataFormat(DataFormat::Decimal);
    try {
        link_.SendCommandText(UnitCommand::DecimalOutput);
    } catch (const RuntimeError&) {
    }
    view_.setFormatCaption(QStringLiteral("Decimal"));
}

}  // namespace tarquel
