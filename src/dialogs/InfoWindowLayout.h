#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace tarquel {

// The flags word of OpenInfoWindow: icon in bits 0-3, button set in bits 4-7, index of the
// default button in bits 8-11.
namespace InfoFlags {
constexpr int IconNone = 0;
constexpr int IconStop = 1;
constexpr int IconQuestion = 2;
constexpr int IconExclamation = 3;
constexpr int IconInformation = 4;

constexpr int ButtonsOK = 0;
constexpr int ButtonsOKCancel = 16;
constexpr int ButtonsYesNo = 32;
constexpr int ButtonsCustom = 48;

constexpr int defaultButton(int index) {
    return index * 256;
}
}  // namespace InfoFlags

// Result codes of the information window (0: the window was already open).
namespace InfoResult {
constexpr int None = 0;
constexpr int OK = 1;
constexpr int Cancel = 2;
constexpr int Yes = 6;
constexpr int No = 7;
constexpr int Custom = 11;  // + index of the custom button
}  // namespace InfoResult

enum class InfoButtonSet { OK = 0, OKCancel = 1, YesNo = 2, Custom = 3 };

// The information window has four buttons; custom caption lists are cut to that many.
constexpr int kInfoMaxButtons = 4;

int infoIconNumber(int flags);
// An unknown set number falls back to the single "OK" button.
InfoButtonSet infoButtonSet(int flags);
// The captions of the buttons the window shows, in order. A custom list keeps its first four
// entries; an empty one gets a single "OK" button so that the window can still be closed.
QStringList infoButtonCaptions(InfoButtonSet set, const QStringList& customCaptions);
// Default button index from bits 8-11; an index past the last button falls back to 0.
int infoDefaultIndex(int flags, int buttonCount);
int infoResultCode(InfoButtonSet set, int buttonIndex);
// Caption of the default button while the countdown shows `seconds`.
QString countdownCaption(const QString& caption, int seconds);

// Design geometry of the information window, in twips.
namespace InfoDesign {
constexpr int ClientWidth = 6300;
constexpr int ClientHeight = 1245;
constexpr int MessageLeft = 240;
constexpr int MessageTop = 120;
constexpr int MessageWidth = 45;
constexpr int MessageHeight = 195;
constexpr int ButtonTop = 600;
constexpr int ButtonWidth = 1335;
constexpr int ButtonHeight = 375;
constexpr std::array<int, kInfoMaxButtons> ButtonLefts{120, 1560, 3000, 4440};
// Widest a message is laid out on one line before it wraps.
constexpr int WrapWidth = 6000;
}  // namespace InfoDesign

// What the layout is computed from, in twips.
struct InfoLayoutInput {
    int buttonCount = 1;
    int titleWidth = 0;     // the title measured on one line
    int messageWidth = 0;   // the message measured without wrapping
    int messageHeight = 0;  // ... and its height
    // Height of the message when it wraps within the given width.
    std::function<int(int width)> wrappedMessageHeight;
    int frameHeight = 0;  // outer height of the window minus its client height
};

// Where everything goes, in twips. Button positions are relative to the window's left edge and
// may fall on half twips; buttons beyond buttonCount keep their design position.
struct InfoLayout {
    int messageWidth = 0;
    int messageHeight = 0;
    bool wordWrap = false;
    int windowWidth = 0;
    int windowHeight = 0;  // outer height, frame included
    int clientHeight = 0;
    std::array<double, kInfoMaxButtons> buttonLefts{};
    int buttonTop = 0;
};

// Minimum window width the buttons need.
int infoMinimumWidth(int buttonCount);
// Width the message area should reach: from the title, or the buttons' minimum when larger.
int infoTargetWidth(int titleWidth, int buttonCount);
InfoLayout computeInfoLayout(const InfoLayoutInput& input);

}  // namespace tarquel
