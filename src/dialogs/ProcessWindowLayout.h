#pragma once

namespace tarquel {

// Design geometry of the progress window, in twips.
namespace ProcessDesign {
constexpr int Label1Left = 120;
constexpr int Label1Top = 120;
constexpr int Label1Width = 3005;
constexpr int Label1Height = 195;  // one line
constexpr int Label2Left = 120;
constexpr int Label2Top = 480;
constexpr int Label2Width = 3015;
constexpr int Label2Height = 255;
constexpr int WindowHeight = 1155;  // outer height with a one-line message
// Part of the outer height taken by the title bar and borders; the client area is the rest.
constexpr int FrameHeight = 420;
constexpr int ClientWidth = Label2Left + Label2Width + 120;
}  // namespace ProcessDesign

struct ProcessLayout {
    int windowHeight = ProcessDesign::WindowHeight;  // outer, twips
    int label2Top = ProcessDesign::Label2Top;
};

// The window after the message label has taken the height label1Height: a message taller than one
// line pushes "Please Wait ..." down and the window grows by the same amount. The window never
// shrinks while it stays loaded.
ProcessLayout resizeForMessage(const ProcessLayout& current, int label1Height);

}  // namespace tarquel
