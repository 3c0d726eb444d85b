#include "maptool/MapTool.h"

#include "maptool/MapFile.h"
#include "maptool/MapReader.h"
#include "platform/Errors.h"
#include "unitlink/EEPROMChanges.h"
#include "unitlink/HexText.h"

#include <QJsonArray>

namespace tarquel {

namespace {

QString hexDigit(int value) {
    return QString::number(value & 0xF, 16).toUpper();
}

bool isByteText(const QString& text) {
    return text.size() == 2 && IsHexString(text);
}

MsgBox restoreErrorBox() {
    return okBox({QStringLiteral("An error has occurred while attempting to restore the EEPROM "
                                 "map."),
                  QStringLiteral("If this error persists, please contact Corvane Industries.")},
                 QStringLiteral("Error restoring EEPROM!"), MsgIcon::Exclamation);
}

}  // namespace

MapTool::MapTool(UnitLink& link, MessageBoxes& boxes, ProgressWindow& progress,
                 FileDialogs& dialogs)
    : link_(link),
      boxes_(boxes),
      sessionProgress_(progress),
      dialogs_(dialogs),
      tmrCheck_(link.clock().createTimer()) {
    tmrCheck_->setInterval(kCheckIntervalMs);
    QObject::connect(tmrCheck_.get(), &Timer::timeout, [this] { tmrCheck_Timer(); });
}

MapTool::~MapTool() = default;

void MapTool::attach(MapCompareView& view, ProgressWindow& progress) {
    view_ = &view;
    progress_ = &progress;
}

void MapTool::detach() {
    tmrCheck_->setEnabled(false);
    view_ = &noView_;
    progress_ = &sessionProgress_;
}

void MapTool::load(int workAreaWidthTwips) {
    layout_ = compareLayoutFor(workAreaWidthTwips);
    view_->setInnerWidth(layout_.widthLiveOnly);
    tmrCheck_->setEnabled(true);
}

void MapTool::unload() {
    tmrCheck_->setEnabled(false);
    savedMapLoaded_ = false;
    mapLoaded_ = false;
    mapPrefix_.clear();
    currentPage_ = 0;
    currentMap_.clear();
    savedMap_.clear();
    mapMatches_.clear();
    retrievalStarted_ = false;
}

void MapTool::tmrCheck_Timer() {
    if (mapLoaded_ || retrievalStarted_) {
        return;
    }
    if (!RetrieveUnitMap()) {
        tmrCheck_->setEnabled(false);
        view_->unloadWindow();
        return;
    }
    tmrCheck_->setEnabled(false);
    view_->setFrameVisible(MapCompareView::kLive, true);
    if (mapPrefix_ == QLatin1String("16")) {
        view_->setFrameVisible(MapCompareView::kPageSelector, true);
    }
}

bool MapTool::RetrieveUnitMap(bool keepProgress) {
    progress_->OpenProcessWindow(QStringLiteral("Retrieving Unit EEPROM"));
    retrievalStarted_ = true;
    const auto fail = [&] {
        if (!keepProgress) {
            closeIfVisible(*progress_);
        }
        return false;
    };
    if (!link_.fInit(false)) {
        boxes_.show({QStringLiteral("An error has occurred while retrieving the EEPROM Map from "
                                    "the Corvane sensor."),
                     QStringLiteral("Error Retrieving Map!"), MsgIcon::Critical, MsgButtons::OK});
        return fail();
    }
    EEPROMMap map;
    bool isB600Family = false;
    if (!ReadEEPROMMap(link_.access(), link_.port(), progress_, map, isB600Family)) {
        return fail();
    }
    currentMap_ = std::move(map);
    mapPrefix_ = mapPrefixFor(isB600Family);
    currentPage_ = 1;
    view_->setRowCaptions(MapCompareView::kLive, rowCaptions(mapPrefix_, 1));
    view_->ShowMapPage(MapCompareView::kLive, currentMap_.front());
    view_->setPageLabels(QStringLiteral("1"), QString::number(currentMap_.size()));
    view_->setPageButtons(false, currentMap_.size() > 1);
    mapLoaded_ = true;
    if (!keepProgress) {
        closeIfVisible(*progress_);
    }
    return true;
}

bool MapTool::LoadSavedMap(const QString& path) {
    view_->setSavedFrameCaption(QStringLiteral("Saved EEPROM Map  ") + path);
    SavedMapLoad load = loadSavedMapFile(path, mapPrefix_);
    if (!load.ok) {
        boxes_.show(load.message);
        return false;
    }
    savedMap_ = std::move(load.map);
    savedFileName_ = path;
    updateRowCaptions(MapCompareView::kSaved);
    view_->setMapsMatchVisible(false);
    mapMatches_ = compareMaps(currentMap_, savedMap_);
    view_->setMapsMatchVisible(!allMatch(mapMatches_));
    const auto index = static_cast<size_t>(std::max(currentPage_, 1) - 1);
    if (index < savedMap_.size()) {
        view_->ColourMapPage(&mapMatches_[index]);
        view_->ShowMapPage(MapCompareView::kSaved, savedMap_[index]);
    }
    return true;
}

bool MapTool::compareMap() {
    const QString path =
        dialogs_.openFileName({QStringLiteral("Open file"), dialogFolder(),
                               QStringLiteral("Text files (*.txt)|*.txt"), QStringLiteral(".txt")});
    return !path.isEmpty() && compareWithFile(path);
}

bool MapTool::compareWithFile(const QString& path) {
    if (!LoadSavedMap(path)) {
        return false;
    }
    view_->setFrameVisible(MapCompareView::kLive, true);
    view_->setFrameVisible(MapCompareView::kSaved, true);
    view_->setInnerWidth(layout_.widthWithSaved);
    view_->setRevertEnabled(true);
    savedMapLoaded_ = true;
    return true;
}

MapSaveResult MapTool::saveMap() {
    return SaveCurrentMap(link_.access(), link_.port(), dialogs_, boxes_, *progress_,
                          dialogFolder());
}

QString MapTool::dialogFolder() const {
    const QString backups = backupFolder_ ? backupFolder_() : QString();
    return backups.isEmpty() ? desktopFolder_ : backups + QLatin1Char('/');
}

MapSaveResult MapTool::saveMapTo(const QString& path) {
    return SaveMapToFile(link_.access(), link_.port(), boxes_, *progress_, path);
}

void MapTool::showNextPage() {
    if (currentPage_ >= static_cast<int>(currentMap_.size())) {
        return;
    }
    ++currentPage_;
    showPage();
}

void MapTool::showPreviousPage() {
    if (currentPage_ <= 1) {
        return;
    }
    --currentPage_;
    showPage();
}

void MapTool::showPage() {
    const auto index = static_cast<size_t>(currentPage_ - 1);
    const int total = static_cast<int>(currentMap_.size());
    view_->ShowMapPage(MapCompareView::kLive, currentMap_[index]);
    if (savedMapLoaded_ && index < savedMap_.size() && index < mapMatches_.size()) {
        view_->ShowMapPage(MapCompareView::kSaved, savedMap_[index]);
        view_->ColourMapPage(&mapMatches_[index]);
    }
    updateRowCaptions(MapCompareView::kLive);
    updateRowCaptions(MapCompareView::kSaved);
    view_->setPageLabels(QString::number(currentPage_), QString::number(total));
    view_->setPageButtons(currentPage_ > 1, currentPage_ < total);
}

void MapTool::updateRowCaptions(int which) {
    view_->setRowCaptions(which, rowCaptions(mapPrefix_, std::max(currentPage_, 1)));
}

QStringList MapTool::rowCaptions(const QString& mapPrefix, int page) {
    const QString prefix =
        mapPrefix == QLatin1String("16") ? QString::number(page + 15) : QStringLiteral("B6");
    QStringList captions;
    for (int r = 0; r < kMapRows; ++r) {
        captions << prefix + hexDigit(r) + QLatin1Char('0');
    }
    return captions;
}

std::vector<WordDifference> MapTool::differences() const {
    return differingWords(currentMap_, savedMap_, mapMatches_, mapPrefix_);
}

RevertResult MapTool::revertMap() {
    written_.clear();
    if (!savedMapLoaded_) {
        return RevertResult::NoSavedMap;
    }
    if (boxes_.show(eepromQuestion(
            QStringLiteral("This will permanently change the EEPROM Map of the unit. Are you sure "
                           "that you want to revert to this saved map?"),
            QStringLiteral("Revert to saved map?"), MsgIcon::Critical)) != MsgAnswer::Yes) {
        return RevertResult::Declined;
    }
    progress_->OpenProcessWindow(QStringLiteral("Initializing Corvane sensor"));
    RevertResult result = RevertResult::WriteFailed;
    try {
        result = revert();
    } catch (const RuntimeError&) {
        result = stopRevert(RevertResult::WriteFailed, !written_.empty());
    }
    if (!written_.empty()) {
        recordRevert(result);
    }
    return result;
}

void MapTool::recordRevert(RevertResult result) {
    QJsonArray words;
    for (const WordDifference& word : written_) {
        words.append(QJsonObject{{QStringLiteral("address"), word.address},
                                 {QStringLiteral("before"), word.live},
                                 {QStringLiteral("value"), word.saved}});
    }
    const bool done = result == RevertResult::Reverted || result == RevertResult::RetrieveFailed;
    link_.changeDone({QStringLiteral("map-revert"),
                      done ? QStringLiteral("done") : QStringLiteral("failed"),
                      QJsonObject{{QStringLiteral("file"), savedFileName_},
                                  {QStringLiteral("written"), words}}});
}

RevertResult MapTool::revert() {
    // Every word is checked before anything is written; a lower-case byte is written in upper
    // case so that its read-back verifies.
    std::vector<WordDifference> words = differences();
    for (WordDifference& word : words) {
        const MapPage& page = savedMap_[static_cast<size_t>(word.pageIndex)];
        if (!isByteText(page.cell(word.row, word.column)) ||
            !isByteText(page.cell(word.row, word.column + 1))) {
            return stopRevert(RevertResult::BadSavedByte, false);
        }
        word.saved = word.saved.toUpper();
    }
    if (!link_.beforeChange(QStringLiteral("map-revert"),
                            QStringLiteral("Initializing Corvane sensor"))) {
        closeIfVisible(*progress_);
        return RevertResult::NoBackup;
    }
    bool access = false;
    try {
        access = link_.access().SetWriteAccess(link_.port(), true);
    } catch (const RuntimeError&) {
    }
    if (!access) {
        closeIfVisible(*progress_);
        boxes_.show(writeAccessErrorBox());
        return RevertResult::AccessRefused;
    }
    progress_->ChangeProcessText(QStringLiteral("Changing EEPROM"));
    for (const WordDifference& word : words) {
        written_.push_back(word);
        if (!link_.fWriteToUnit(word.address, word.saved)) {
            return stopRevert(RevertResult::WriteFailed, true);
        }
    }
    recalculateChecksum(link_, *progress_);
    link_.switchWriteAccessOff();
    progress_->ChangeProcessText(QStringLiteral("Retrieving new map"));
    if (!RetrieveUnitMap(true)) {
        return stopRevert(RevertResult::RetrieveFailed, false);
    }
    progress_->ChangeProcessText(QStringLiteral("Comparing maps"));
    LoadSavedMap(savedFileName_);
    closeIfVisible(*progress_);
    return RevertResult::Reverted;
}

// Ends a revert that could not finish. When words were sent the unit still recalculates its
// checksum and write access goes off again, so that the unit is left consistent.
RevertResult MapTool::stopRevert(RevertResult result, bool recalculate) {
    if (recalculate) {
        recalculateChecksumRegardless(link_, *progress_);
        link_.switchWriteAccessOff();
    }
    closeIfVisible(*progress_);
    boxes_.show(restoreErrorBox());
    return result;
}

}  // namespace tarquel
