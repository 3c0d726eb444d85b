#include "maptool/CompareLayout.h"

namespace tarquel {

CompareLayout compareLayoutFor(int workAreaWidthTwips) {
    CompareLayout layout;
    if (workAreaWidthTwips >= kCompactBelowTwips) {
        return layout;
    }
    layout.compact = true;
    layout.frameWidth = 4860;
    layout.frameHeight = 6135;
    layout.savedFrameLeft = 5060;
    layout.mapsMatchLeft = 720;
    layout.pageSelectorLeft = 3120;
    layout.rowLabelLeft = 40;
    layout.rowLabelWidth = 375;
    layout.cellWidth = 245;
    layout.firstCellLeft = 500;
    layout.cellPitch = 240;
    layout.groupGap = 140;
    layout.widthLiveOnly = 5135;
    layout.widthWithSaved = 10100;
    layout.fontFamily = QStringLiteral("Times New Roman");
    layout.fontPointSize = 7;
    return layout;
}

}  // namespace tarquel
