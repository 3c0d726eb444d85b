#pragma once

#include "maptool/MapCompareView.h"
#include "maptool/MapGridModel.h"
#include "maptool/MapTool.h"

#include <QMainWindow>
#include <array>
#include <memory>
#include <optional>

class QAction;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableView;

namespace tarquel {

// "Compare EEPROM Maps": the unit's live EEPROM map and a saved map side by side, one page at a
// time, differing bytes in red. Modeless and without owner. It retrieves the live map by itself
// 250 ms after it is first shown (the progress window says so); a failed retrieval closes it.
// All logic is in the session's MapTool; the window attaches itself to it while it exists, shows
// what the tool tells it and forwards its controls.
class FrmEEPROMCompare : public QMainWindow, public MapCompareView {
    Q_OBJECT
public:
    // progress: the progress window to use (null: the application's, owned by this window).
    // workAreaTwips: the screen's work-area width that chooses the layout (default: the
    // primary screen's).
    explicit FrmEEPROMCompare(MapTool& tool, ProgressWindow* progress = nullptr,
                              std::optional<int> workAreaTwips = std::nullopt,
                              QWidget* parent = nullptr);
    ~FrmEEPROMCompare() override;

    // Display theme hook: the normal cell colour is the button face colour, or the window
    // background colour while high contrast is on.
    void setHighContrast(bool on);
    bool highContrast() const { return highContrast_; }

    MapTool& tool() { return tool_; }
    const MapGridModel& grid(int which) const { return *models_[static_cast<size_t>(which)]; }
    // The inner (client) width in twips.
    int innerWidthTwips() const;

    // MapCompareView
    void ShowMapPage(int which, const MapPage& page) override;
    void ColourMapPage(const PageMatches* matches) override;
    void setRowCaptions(int which, const QStringList& captions) override;
    void setFrameVisible(int frame, bool visible) override;
    void setSavedFrameCaption(const QString& caption) override;
    void setMapsMatchVisible(bool visible) override;
    void setPageLabels(const QString& current, const QString& total) override;
    void setPageButtons(bool backEnabled, bool forwardEnabled) override;
    void setRevertEnabled(bool enabled) override;
    void setInnerWidth(int twips) override;
    void unloadWindow() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildMenus();
    QGroupBox* buildMapFrame(int which, const QString& name, const QString& caption, int left);
    void buildPageSelector();
    void applyNormalColour();

    std::unique_ptr<ProgressWindow> ownProgress_;
    MapTool& tool_;
    int workAreaTwips_;
    CompareLayout layout_;
    bool loaded_ = false;
    bool highContrast_ = false;

    QWidget* central_ = nullptr;
    std::array<QGroupBox*, 3> frames_{};
    std::array<MapGridModel*, 2> models_{};
    std::array<QTableView*, 2> grids_{};
    QLabel* lblMapsMatch_ = nullptr;
    QLabel* lblCurPg_ = nullptr;
    QLabel* lblTotPgs_ = nullptr;
    QPushButton* btnPgBk_ = nullptr;
    QPushButton* btnPgFwd_ = nullptr;
    QAction* mnuRevertToSaved_ = nullptr;
};

}  // namespace tarquel
