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
using Cells = std::vector<std::pair<int, int>>;

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
    bool enabled(const char* name) const { return child<QPushButton>(name)->isEnabled(); }
    QString text(const char* name) const { return child<QLabel>(name)->text(); }
    // Saves the unit's map through the File menu with one byte of the file changed, then compares
    // it through the Options menu.
    void compareWithByte(const QByteArray& from, const QByteArray& to) {
        const QString file = path(QStringLiteral("saved.txt"));
        dialogs.queueAnswer(file);
        trigger("mnuSave");
        edit(file, from, to);
        dialogs.queueAnswer(file);
        trigger("mnuCompareMaps");
    }
    // The cells of a grid painted red.
    Cells redCells(int which) const {
        Cells red;
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

    std::unique_ptr<FrmEEPROMCompare> window;
};

TEST_F(CompareWindow, B600UnitComparedWithASavedMapThenReverted) {
    FrmEEPROMCompare& w = open(MapFamily::B600, 14000);
    const CompareLayout& layout = maps().layout();
    EXPECT_FALSE(layout.compact);
    EXPECT_TRUE(visible("Frame1_0"));
    EXPECT_FALSE(visible("Frame1_1"));
    EXPECT_FALSE(visible("Frame1_2"));
    EXPECT_FALSE(child<QAction>("mnuRevertToSaved")->isEnabled());
    EXPECT_NEAR(w.innerWidthTwips(), layout.widthLiveOnly, 15);  // one pixel
    EXPECT_EQ(w.grid(MapCompareView::kLive).page().cell(0, 8), QStringLiteral("0A"));
    EXPECT_EQ(caption(MapCompareView::kLive, 10), QStringLiteral("B6A0"));

    compareWithByte("B6A0 - FF FF FF FF  FF FF", "B6A0 - FF FF FF FF  FF 5A");
    EXPECT_TRUE(visible("Frame1_1"));
    EXPECT_EQ(child<QGroupBox>("Frame1_1")->title(),
              QStringLiteral("Saved EEPROM Map  ") + path(QStringLiteral("saved.txt")));
    EXPECT_TRUE(visible("lblMapsMatch"));
    EXPECT_EQ(redCells(MapCompareView::kLive), (Cells{{10, 5}}));
    EXPECT_EQ(redCells(MapCompareView::kSaved), (Cells{{10, 5}}));
    EXPECT_EQ(w.grid(MapCompareView::kSaved).page().cell(10, 5), QStringLiteral("5A"));
    EXPECT_NEAR(w.innerWidthTwips(), layout.widthWithSaved, 15);
    EXPECT_TRUE(child<QAction>("mnuRevertToSaved")->isEnabled());
    EXPECT_EQ(w.grid(MapCompareView::kLive).cellColour(0, 0), w.palette().color(QPalette::Button));
    w.setHighContrast(true);
    EXPECT_EQ(w.grid(MapCompareView::kLive).cellColour(0, 0), w.palette().color(QPalette::Base));
    test::saveScreenshot(w, QStringLiteral("compare_b600.png"));

    boxes.queueAnswer(MsgAnswer::Yes);
    trigger("mnuRevertToSaved");
    EXPECT_EQ(unit->word(0xB6A4), 0xFF5A);
    EXPECT_FALSE(visible("lblMapsMatch"));

    trigger("mnuExit");
    EXPECT_FALSE(w.isVisible());
}

TEST_F(CompareWindow, Compact1600WindowPagesToTheDifferenceOnPageThree) {
    open(MapFamily::F1600, 12000);
    EXPECT_TRUE(maps().layout().compact);
    EXPECT_TRUE(visible("Frame1_2"));
    EXPECT_EQ(text("lblTotPgs"), QStringLiteral("3"));

    compareWithByte("18A0 - FF FF FF FF  FF FF", "18A0 - FF FF FF FF  FF 5A");
    EXPECT_TRUE(visible("lblMapsMatch"));
    EXPECT_TRUE(redCells(MapCompareView::kLive).empty());

    const struct {
        const char* button;
        const char* page;
        const char* firstRow;
        bool back, forward;
    } steps[] = {
        {"btnPgBk", "1", "1600", false, true},  {"btnPgFwd", "2", "1700", true, true},
        {"btnPgBk", "1", "1600", false, true},  {"btnPgFwd", "2", "1700", true, true},
        {"btnPgFwd", "3", "1800", true, false}, {"btnPgFwd", "3", "1800", true, false},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(s.button) + " to page " + s.page);
        child<QPushButton>(s.button)->click();
        EXPECT_EQ(text("lblCurPg"), QLatin1String(s.page));
        EXPECT_EQ(caption(MapCompareView::kLive, 0), QLatin1String(s.firstRow));
        EXPECT_EQ(caption(MapCompareView::kSaved, 0), QLatin1String(s.firstRow));
        EXPECT_EQ(enabled("btnPgBk"), s.back);
        EXPECT_EQ(enabled("btnPgFwd"), s.forward);
        EXPECT_EQ(redCells(MapCompareView::kSaved), (*s.page == '3' ? Cells{{10, 5}} : Cells{}));
    }
    test::saveScreenshot(*window, QStringLiteral("compare_1600_page3.png"));
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
}

}  // namespace
}  // namespace tarquel
