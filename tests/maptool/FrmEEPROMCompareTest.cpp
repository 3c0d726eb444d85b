// The comparison window driven like an operator, on virtual time against the simulated unit: its
// layouts, paging, colours and the wiring of its menus to the map tool.
#include "MapToolFixture.h"
#include "maptool/FrmEEPROMCompare.h"
#include "support/Screenshot.h"

#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace tarquel {
namespace {

using unitsim::MapFamily;

class CompareWindow : public test::MapToolFixture {
protected:
    CompareWindow() {
        clock.setEventHook([] { QCoreApplication::processEvents(); });
    }

    // Opens the window on a screen whose work area is this wide and lets tmrCheck retrieve.
    FrmEEPROMCompare& open(MapFamily family, int workAreaTwips) {
        makeFamily(family);
        window = std::make_unique<FrmEEPROMCompare>(maps(), &progress, workAreaTwips);
        window->show();
        clock.runFor(300);
        return *window;
    }
    template <typename T>
    T* child(const char* name) const {
        T* found = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void trigger(const char* action) { child<QAction>(action)->trigger(); }
    bool visible(const char* name) const { return child<QWidget>(name)->isVisible(); }
    QString text(const char* name) const { return child<QLabel>(name)->text(); }
    // Saves the unit's map through the File menu, with one byte of the file changed.
    QString savedWithByte(const QByteArray& from, const QByteArray& to) {
        const QString file = path(QStringLiteral("saved.txt"));
        dialogs.queueAnswer(file);
        trigger("mnuSave");
        QByteArray bytes = contents(file);
        EXPECT_TRUE(bytes.contains(from));
        put(file, bytes.replace(from, to));
        return file;
    }
    // The cells of a grid painted red.
    std::vector<std::pair<int, int>> redCells(int which) const {
        std::vector<std::pair<int, int>> red;
        for (int r = 0; r < kMapRows; ++r) {
            for (int c = 0; c < kMapColumns; ++c) {
                if (window->grid(which).cellColour(r, c) == MapGridModel::kDifferentColour) {
                    red.emplace_back(r, c);
                }
            }
        }
        return red;
    }
    QString caption(int which, int row) const {
        return window->grid(which).headerData(row, Qt::Vertical, Qt::DisplayRole).toString();
    }
    void screenshot(const QString& name) const { test::saveScreenshot(*window, name); }

    std::unique_ptr<FrmEEPROMCompare> window;
};

TEST_F(CompareWindow, B600UnitComparedWithASavedMapThenReverted) {
    FrmEEPROMCompare& w = open(MapFamily::B600, 14000);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Compare EEPROM Maps"));
    EXPECT_TRUE(visible("Frame1_0"));
    EXPECT_FALSE(visible("Frame1_1"));
    EXPECT_FALSE(visible("Frame1_2"));
    EXPECT_FALSE(visible("lblMapsMatch"));
    EXPECT_FALSE(child<QAction>("mnuRevertToSaved")->isEnabled());
    EXPECT_NEAR(w.innerWidthTwips(), 6375, 15);  // one pixel
    EXPECT_EQ(w.grid(MapCompareView::kLive).page().cell(0, 8), QStringLiteral("0A"));
    EXPECT_EQ(caption(MapCompareView::kLive, 10), QStringLiteral("B6A0"));
    EXPECT_FALSE(maps().timerEnabled());

    // A cancelled Open dialog changes nothing.
    trigger("mnuCompareMaps");
    EXPECT_FALSE(visible("Frame1_1"));

    const QString file = savedWithByte("B6A0 - FF FF FF FF  FF FF", "B6A0 - FF FF FF FF  FF 5A");
    dialogs.queueAnswer(file);
    trigger("mnuCompareMaps");
    EXPECT_EQ(dialogs.requests().back().title, QStringLiteral("Open file"));
    EXPECT_TRUE(visible("Frame1_1"));
    EXPECT_EQ(child<QGroupBox>("Frame1_1")->title(), QStringLiteral("Saved EEPROM Map  ") + file);
    EXPECT_TRUE(visible("lblMapsMatch"));
    EXPECT_EQ(text("lblMapsMatch"), QStringLiteral("Maps do not match exactly"));
    const std::vector<std::pair<int, int>> b6a5{{10, 5}};
    EXPECT_EQ(redCells(MapCompareView::kLive), b6a5);
    EXPECT_EQ(redCells(MapCompareView::kSaved), b6a5);
    EXPECT_EQ(w.grid(MapCompareView::kSaved).page().cell(10, 5), QStringLiteral("5A"));
    EXPECT_NEAR(w.innerWidthTwips(), 12825, 15);  // one pixel
    EXPECT_TRUE(child<QAction>("mnuRevertToSaved")->isEnabled());
    EXPECT_EQ(w.grid(MapCompareView::kLive).cellColour(0, 0), w.palette().color(QPalette::Button));
    w.setHighContrast(true);
    EXPECT_EQ(w.grid(MapCompareView::kLive).cellColour(0, 0), w.palette().color(QPalette::Base));
    screenshot(QStringLiteral("compare_b600.png"));

    boxes.queueAnswer(MsgAnswer::Yes);
    trigger("mnuRevertToSaved");
    EXPECT_EQ(unit->word(0xB6A4), 0xFF5A);
    EXPECT_FALSE(visible("lblMapsMatch"));
    EXPECT_TRUE(redCells(MapCompareView::kSaved).empty());

    trigger("mnuExit");
    EXPECT_FALSE(w.isVisible());
}

TEST_F(CompareWindow, Compact1600WindowPagesToTheDifferenceOnPageThree) {
    FrmEEPROMCompare& w = open(MapFamily::F1600, 12000);
    EXPECT_NEAR(w.innerWidthTwips(), 5135, 15);  // one pixel
    EXPECT_TRUE(visible("Frame1_2"));
    EXPECT_EQ(text("lblCurPg"), QStringLiteral("1"));
    EXPECT_EQ(text("lblTotPgs"), QStringLiteral("3"));
    EXPECT_FALSE(child<QPushButton>("btnPgBk")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("btnPgFwd")->isEnabled());

    dialogs.queueAnswer(savedWithByte("18A0 - FF FF FF FF  FF FF", "18A0 - FF FF FF FF  FF 5A"));
    trigger("mnuCompareMaps");
    EXPECT_NEAR(w.innerWidthTwips(), 10100, 15);  // one pixel
    EXPECT_TRUE(visible("lblMapsMatch"));
    EXPECT_TRUE(redCells(MapCompareView::kLive).empty());

    const struct {
        const char* button;
        const char* page;
        const char* firstRow;
        bool back, forward, red;
    } steps[] = {
        {"btnPgFwd", "2", "1700", true, true, false}, {"btnPgFwd", "3", "1800", true, false, true},
        {"btnPgFwd", "3", "1800", true, false, true}, {"btnPgBk", "2", "1700", true, true, false},
        {"btnPgBk", "1", "1600", false, true, false}, {"btnPgBk", "1", "1600", false, true, false},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(s.button) + " to page " + s.page);
        child<QPushButton>(s.button)->click();
        EXPECT_EQ(text("lblCurPg"), QLatin1String(s.page));
        EXPECT_EQ(caption(MapCompareView::kLive, 0), QLatin1String(s.firstRow));
        EXPECT_EQ(caption(MapCompareView::kSaved, 0), QLatin1String(s.firstRow));
        EXPECT_EQ(child<QPushButton>("btnPgBk")->isEnabled(), s.back);
        EXPECT_EQ(child<QPushButton>("btnPgFwd")->isEnabled(), s.forward);
        const std::vector<std::pair<int, int>> red =
            s.red ? std::vector<std::pair<int, int>>{{10, 5}} : std::vector<std::pair<int, int>>{};
        EXPECT_EQ(redCells(MapCompareView::kSaved), red);
        if (s.red) {
            screenshot(QStringLiteral("compare_1600_page3.png"));
        }
    }
}

TEST_F(CompareWindow, FailedRetrievalUnloadsTheWindow) {
    makeFamily(MapFamily::B600);
    unit->setFault(unitsim::Fault::NoReadAnswer);
    window = std::make_unique<FrmEEPROMCompare>(maps(), &progress, 14000);
    window->show();
    clock.runFor(1000);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(boxTitles(), QStringList{"Error Retrieving Map!"});
    EXPECT_FALSE(maps().retrievalStarted());
    EXPECT_FALSE(progress.processWindowVisible());
}

}  // namespace
}  // namespace tarquel
