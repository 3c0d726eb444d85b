#pragma once

#include "maptool/EEPROMMap.h"

#include <QString>
#include <QStringList>

namespace tarquel {

// What the comparison window (frmEEPROMCompare) shows, as its logic drives it. The window
// implements it; a command-line run uses it as it is, showing nothing.
class MapCompareView {
public:
    // The two grids: the live map (which 0) and the saved map (which 1).
    static constexpr int kLive = 0;
    static constexpr int kSaved = 1;
    // The frames Frame1 (0) live map, (1) saved map, (2) page selector.
    static constexpr int kPageSelector = 2;

    virtual ~MapCompareView() = default;

    // Puts the page into the cells of one grid.
    virtual void ShowMapPage(int /*which*/, const MapPage& /*page*/) {}
    // Paints both grids: red where matches says the texts differ, the normal colour elsewhere;
    // null paints everything in the normal colour.
    virtual void ColourMapPage(const PageMatches* /*matches*/) {}
    // The row captions MapLabel (0)..(15) of the live grid or (16)..(31) of the saved grid.
    virtual void setRowCaptions(int /*which*/, const QStringList& /*captions*/) {}
    virtual void setFrameVisible(int /*frame*/, bool /*visible*/) {}
    virtual void setSavedFrameCaption(const QString& /*caption*/) {}
    // "Maps do not match exactly".
    virtual void setMapsMatchVisible(bool /*visible*/) {}
    // lblCurPg and lblTotPgs.
    virtual void setPageLabels(const QString& /*current*/, const QString& /*total*/) {}
    // btnPgBk and btnPgFwd.
    virtual void setPageButtons(bool /*backEnabled*/, bool /*forwardEnabled*/) {}
    // "Revert current map to saved".
    virtual void setRevertEnabled(bool /*enabled*/) {}
    // The window's inner width in twips.
    virtual void setInnerWidth(int /*twips*/) {}
    // Unloads the window (it closes and the logic's state is cleared).
    virtual void unloadWindow() {}
};

}  // namespace tarquel
