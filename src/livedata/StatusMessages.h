#pragma once

#include "livedata/LiveViews.h"
#include "livedata/MessageFlags.h"
#include "unitlink/UnitLink.h"

#include <QString>

namespace tarquel {

// The numbered information list built from the information flag word.
struct InformationText {
    QString text;          // "1.  ..." CR LF "2.  ..."
    int count = 0;         // number of numbered lines
    bool caution = false;  // bit 1: tilted over 10 degrees
    bool warning = false;  // bit 2: tilted over 45 degrees (replaces the bit 1 line)
};

// Lines in the order 1 or 2 (sharing line 1), 128, 16, 256, 512, 1024, 32, each "<n>" + text +
// CR LF. The bit 32 line is the no-header text without a line end, or in binary output format the
// binary-mode note with a line end.
InformationText ComposeInformation(quint16 infoFlags, DataFormat dataFormat);

// "Receiving Data." or "Not Receiving Data.", plus CR and "Data routed to terminal display." while
// bit 2 is set.
QString SoftwareStatusText(quint16 swFlags);

// "Transmitted Flags and Information", with " - <n> msg." when n > 0.
QString InformationCaption(int count);

// Shows both status areas from the flag words. Texts and badge are rewritten
// only when their flag word changed since they were last written. The two tilt pop-ups appear at
// most once each per run, the first time their flag is seen.
class StatusMessages {
public:
    StatusMessages(const MessageFlags& flags, const UnitLink& link, StatusView& view,
                   TiltPopupWindow& infoWindow);

    void UpdateStatusMessages();

    quint16 lastInfoFlagsShown() const { return lastInfoFlagsShown_; }
    quint16 lastSWFlagsShown() const { return lastSWFlagsShown_; }
    bool tiltCautionShown() const { return tiltCautionShown_; }
    bool tiltWarningShown() const { return tiltWarningShown_; }

private:
    void showTiltPopups();

    const MessageFlags& flags_;
    const UnitLink& link_;
    StatusView& view_;
    TiltPopupWindow& infoWindow_;
    quint16 lastInfoFlagsShown_ = 0;
    quint16 lastSWFlagsShown_ = 0;
    bool tiltCautionShown_ = false;
    bool tiltWarningShown_ = false;
};

}  // namespace tarquel
