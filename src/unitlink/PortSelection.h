#pragma once

#include "platform/MessageBoxes.h"
#include "unitlink/UnitLink.h"

#include <QString>
#include <QStringList>

namespace tarquel {

// What the main window shows of the serial port: the checks of the port menu (mnuCommPort,
// index 0 to 19 for ports 1 to 20), the port label Label10 ("Comm 3"), the settings label Label8
// ("9600,n,8,1") and the format label Label9 ("Decimal" or "Binary").
class CommView {
public:
    virtual ~CommView() = default;
    virtual void setPortChecked(int index, bool checked) = 0;
    virtual void setPortCaption(const QString& caption) = 0;
    virtual void setSettingsCaption(const QString& caption) = 0;
    virtual void setFormatCaption(const QString& caption) = 0;
};

inline constexpr int kPortMenuEntries = 20;

// The baud rates offered in the serial settings dialog, in order.
const QStringList& offeredBaudRates();

// Port selection from the port menu and the serial settings dialog's OK, on the main window's
// port MSComm1.
class PortSelection {
public:
    PortSelection(UnitLink& link, MessageBoxes& boxes, CommView& view);

    // Selects port index + 1: checks its menu entry, reopens MSComm1 there, and once the unit is
    // identified clears bits 4000 and 0800 of its first configuration word. A port that cannot be
    // opened gives the "Port Error!" box and goes back to the previous port.
    void selectPort(int index);

    // The settings dialog's OK with the chosen baud text ("19200"): reopens the port at that rate
    // when it differs, then puts the unit in decimal output. A port that cannot be reopened at the
    // new rate gives the "Port Error!" box and is reopened at the previous rate.
    void applyBaudRate(const QString& baud);

    // The baud part of MSComm1's settings ("9600").
    QString currentBaud() const;

private:
    void openPort(int index, bool recovering);
    void showPortError();

    UnitLink& link_;
    MessageBoxes& boxes_;
    CommView& view_;
};

}  // namespace tarquel
