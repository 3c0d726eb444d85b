#pragma once

#include <QString>

namespace tarquel {

// What the main window implements so that the live-data logic can show its results. Every call
// sets one control's text or state; none of them may call back into the live-data objects.

// The live values of the last accepted frame, the frame count and the frame rate.
class LiveDataView {
public:
    virtual ~LiveDataView() = default;
    // DataBox(slot), slot 0 to 6 ("Hx Mag" ... "Unit Heading"); an empty caption blanks it.
    virtual void setDataBoxCaption(int slot, const QString& caption) = 0;
    // The caption last given to DataBox(slot): what the operator sees there.
    virtual QString dataBoxCaption(int slot) const = 0;
    // lblFrame.
    virtual void setFrameCountCaption(const QString& caption) = 0;
    // FrameRate, read back to avoid rewriting an unchanged rate; its design caption is
    // "0 Frames/Sec".
    virtual QString frameRateCaption() const = 0;
    virtual void setFrameRateCaption(const QString& caption) = 0;
    // btnGetData is enabled (a calibration test is collecting points).
    virtual bool getDataEnabled() const = 0;
    // The heading has just entered a cardinal window: give the keyboard focus to txtInformation
    // and then to btnGetData, so that the Enter key collects the point.
    virtual void focusGetData() = 0;
};

// A colour as red, green and blue components, 0 to 255.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The two status areas: "Transmitted Flags and Information" (txtInformation with its caption
// Label46 and the badge lblCaution) and "Software Generated Flags" (lblSoftwareInfo).
class StatusView {
public:
    virtual ~StatusView() = default;
    // txtInformation: numbered lines joined with CR LF.
    virtual void setInformationText(const QString& text) = 0;
    // Label46.
    virtual void setInformationCaption(const QString& caption) = 0;
    // lblCaution: shown with the caption on the back colour.
    virtual void showCautionBadge(const QString& caption, Rgb backColour) = 0;
    virtual void hideCautionBadge() = 0;
    // lblSoftwareInfo: one or two lines joined with CR.
    virtual void setSoftwareInfo(const QString& text) = 0;
};

// Where the two tilt pop-ups appear: the program's information window. The window implements this
// by passing the call on to the information window's OpenInfoWindow (no custom captions).
// flags: icon in bits 0-3 (1 stop, 3 exclamation), button set in bits 4-7 (0: one "OK" button).
// countdownSeconds 0: no automatic press. modal 1: returns once the operator pressed a button.
// Returns the result code; 0 when the window was already open (nothing shown).
class TiltPopupWindow {
public:
    virtual ~TiltPopupWindow() = default;
    virtual int OpenInfoWindow(const QString& message, const QString& title, int flags,
                               int countdownSeconds, int modal) = 0;
};

// Whether a calibration test is running (testState), as the calibration workflow knows it: frames
// then drive the cardinal gauge, and the stream no longer prompts for Begin Test.
class TestStatus {
public:
    virtual ~TestStatus() = default;
    virtual bool testRunning() const = 0;
};

// The data terminal's text box, which takes all received text while the terminal is visible.
class TerminalSink {
public:
    virtual ~TerminalSink() = default;
    virtual void ProcessData(const QString& text) = 0;
};

}  // namespace tarquel
