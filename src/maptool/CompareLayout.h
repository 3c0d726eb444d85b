#pragma once

#include <QString>

namespace tarquel {

// Geometry of the comparison window in twips. The design layout fits a work area of at least
// 12825 twips; narrower screens get the compact layout with smaller cells and a small font.
struct CompareLayout {
    bool compact = false;
    int innerHeight = 6465;
    int framesTop = 240;
    int liveFrameLeft = 120;
    int savedFrameLeft = 6480;
    int frameWidth = 6180;
    int frameHeight = 6200;
    int rowLabelLeft = 120;
    int rowLabelWidth = 495;
    int cellWidth = 300;
    int cellHeight = 255;
    int firstCellLeft = 720;
    int cellPitch = 290;
    int groupGap = 220;  // extra space after every fourth cell
    int mapsMatchLeft = 1800;
    int mapsMatchTop = 0;
    int mapsMatchWidth = 2055;
    int mapsMatchHeight = 240;
    int pageSelectorLeft = 4410;
    int pageSelectorTop = 0;
    int pageSelectorWidth = 1860;
    int pageSelectorHeight = 255;
    int widthLiveOnly = 6375;  // until a saved map is shown
    int widthWithSaved = 12825;
    QString fontFamily;  // empty: the window's own font
    int fontPointSize = 0;

    // Left edge of the cells of column c inside a map frame.
    int cellLeft(int column) const {
        return firstCellLeft + cellPitch * column + groupGap * (column / 4);
    }
    int rowTop(int row) const { return 360 + 360 * row; }
};

constexpr int kCompactBelowTwips = 12825;

// The layout for a screen whose work area is this wide.
CompareLayout compareLayoutFor(int workAreaWidthTwips);

}  // namespace tarquel
