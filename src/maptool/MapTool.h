#pragma once

#include "maptool/CompareLayout.h"
#include "maptool/EEPROMMap.h"
#include "maptool/MapCompareView.h"
#include "maptool/MapSave.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgressWindow.h"
#include "unitlink/UnitLink.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace tarquel {

// How "Revert current map to saved" ended.
enum class RevertResult {
    Reverted,        // written, checksum recalculated, map read again and compared
    Declined,        // the operator did not answer Yes: nothing sent
    NoSavedMap,      // no saved map loaded: nothing sent
    BadSavedByte,    // a saved byte is not two hex digits: nothing written
    AccessRefused,   // write access could not be switched on: nothing written
    WriteFailed,     // a word did not verify (or a run-time error): the revert stopped there
    RetrieveFailed,  // written, but the new map could not be read
    NoBackup,        // no backup of the EEPROM could be made: nothing written
};

// The EEPROM map tool: the live map retrieved from the unit, the saved map loaded from a file,
// their comparison, the page shown, and the commands of the comparison window's menus (save,
// compare, revert). Talks to the unit through the session's unit link, to the operator through
// the message boxes, the file dialogs and the progress window, and to the comparison window
// through its view while one is attached (without one nothing is shown: the command line).
class MapTool {
public:
    // tmrCheck: the automatic retrieval every 250 ms once the window is loaded.
    static constexpr int kCheckIntervalMs = 250;

    MapTool(UnitLink& link, MessageBoxes& boxes, ProgressWindow& progress, FileDialogs& dialogs);
    ~MapTool();
    MapTool(const MapTool&) = delete;
    MapTool& operator=(const MapTool&) = delete;

    // The comparison window shows the tool and its operations use the window's progress window
    // while it is attached; detach goes back to showing nothing.
    void attach(MapCompareView& view, ProgressWindow& progress);
    void detach();
    // The folder the file dialogs start in (desktopFolder).
    void setDesktopFolder(const QString& folder) { desktopFolder_ = folder; }
    // Gives the backup folder of the connected unit, empty when it has none; the file dialogs
    // start there when it has one.
    void setBackupFolder(std::function<QString()> backupFolder) {
        backupFolder_ = std::move(backupFolder);
    }

    // Window load: chooses the layout for the work area, sets the width and starts tmrCheck.
    void load(int workAreaWidthTwips);
    // Window unload: stops tmrCheck and clears all state.
    void unload();
    void tmrCheck_Timer();

    // Fills the live map from the unit behind "Retrieving Unit EEPROM" and shows page 1. With
    // keepProgress the progress window is left open (the revert runs it inside its own).
    bool RetrieveUnitMap(bool keepProgress = false);
    // Reads the map file at path as the saved map and compares it with the live map. A failure
    // leaves the previous saved map and its comparison in place.
    bool LoadSavedMap(const QString& path);

    // "Compare current map": asks for a file and compares it; compareWithFile is the same
    // without the dialog.
    bool compareMap();
    bool compareWithFile(const QString& path);
    // "Save Current Map": asks for the file; saveMapTo is the same without the dialog.
    MapSaveResult saveMap();
    MapSaveResult saveMapTo(const QString& path);
    // "Revert current map to saved".
    RevertResult revertMap();

    void showNextPage();
    void showPreviousPage();

    const EEPROMMap& currentMap() const { return currentMap_; }
    const EEPROMMap& savedMap() const { return savedMap_; }
    const MapMatches& mapMatches() const { return mapMatches_; }
    int currentPage() const { return currentPage_; }
    const QString& mapPrefix() const { return mapPrefix_; }
    bool mapLoaded() const { return mapLoaded_; }
    bool savedMapLoaded() const { return savedMapLoaded_; }
    bool retrievalStarted() const { return retrievalStarted_; }
    const QString& savedFileName() const { return savedFileName_; }
    const CompareLayout& layout() const { return layout_; }
    // The words of the saved map that differ from the live map, in ascending address order.
    std::vector<WordDifference> differences() const;
    // Of the last revert: the words written, in the order sent.
    const std::vector<WordDifference>& wordsWritten() const { return written_; }

    // The row captions of a page (from 1) of a map with this prefix: B600 .. B6F0 for the B600
    // family, 1600 .. 16F0, 1700 .. for the 1600 family.
    static QStringList rowCaptions(const QString& mapPrefix, int page);

private:
    void showPage();
    // The folder the file dialogs start in, ended by a separator.
    QString dialogFolder() const;
    void updateRowCaptions(int which);
    RevertResult revert();
    RevertResult stopRevert(RevertResult result, bool recalculate);
    void recordRevert(RevertResult result);

    UnitLink& link_;
    MessageBoxes& boxes_;
    ProgressWindow& sessionProgress_;
    FileDialogs& dialogs_;
    MapCompareView noView_;
    MapCompareView* view_ = &noView_;
    ProgressWindow* progress_ = &sessionProgress_;
    QString desktopFolder_;
    std::function<QString()> backupFolder_;
    std::unique_ptr<Timer> tmrCheck_;
    CompareLayout layout_;

    EEPROMMap currentMap_;
    EEPROMMap savedMap_;
    MapMatches mapMatches_;
    int currentPage_ = 0;
    QString mapPrefix_;
    bool mapLoaded_ = false;
    bool savedMapLoaded_ = false;
    bool retrievalStarted_ = false;
    QString savedFileName_;
    std::vector<WordDifference> written_;
};

}  // namespace tarquel
