// The application shell around the unit work: the display themes over every window and the help
// document.
#include "AppRig.h"
#include "app/FrmAbout.h"
#include "app/HelpFile.h"
#include "app/StatusPanel.h"
#include "calibration/CalGaugeWidget.h"
#include "dialogs/InProcessWindow.h"
#include "maptool/FrmEEPROMCompare.h"
#include "unitlink/CommProperties.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace tarquel {
namespace {

using test::AppRig;

class Shell : public AppRig {
protected:
    void start() {
        unit = &addUnit(1);
        ASSERT_TRUE(startApplication());
        system.clearWrites();
        desktopPalette = QApplication::palette();
    }
    QColor windowColour() const { return desktopPalette.color(QPalette::Base); }
    QColor faceColour() const { return desktopPalette.color(QPalette::Button); }

    unitsim::SimulatedUnit* unit = nullptr;
    QPalette desktopPalette;
};

// --- Display themes ---

// The colour a widget's text is drawn on: its own or the nearest filled ancestor's background.
QColor backgroundBehind(const QWidget& widget, QPalette::ColorRole role) {
    if (role == QPalette::Base || role == QPalette::Button) {
        return widget.palette().color(role);
    }
    for (const QWidget* w = &widget; w != nullptr; w = w->parentWidget()) {
        if (w->autoFillBackground() || w->isWindow()) {
            return w->palette().color(QPalette::Window);
        }
    }
    return widget.palette().color(QPalette::Window);
}

bool isLargeText(const QWidget& widget) {
    const QFont font = widget.font();
    const double points = font.pointSizeF();
    return points >= 18 || (points >= 14 && font.bold());
}

// Every text of every window against its background: 4.5 : 1, or 3 : 1 for large text.
void expectReadable(const char* theme) {
    int checked = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        QList<QWidget*> widgets = window->findChildren<QWidget*>();
        widgets.prepend(window);
        for (QWidget* w : widgets) {
            if (!w->isEnabled()) {
                continue;  // disabled controls are drawn faint on purpose
            }
            QPalette::ColorRole text = QPalette::WindowText;
            QPalette::ColorRole back = QPalette::Window;
            if (auto* label = qobject_cast<QLabel*>(w); label != nullptr) {
                if (label->text().isEmpty()) {
                    continue;
                }
            } else if (qobject_cast<QPlainTextEdit*>(w) != nullptr ||
                       qobject_cast<QLineEdit*>(w) != nullptr) {
                text = QPalette::Text;
                back = QPalette::Base;
            } else if (qobject_cast<QAbstractButton*>(w) != nullptr ||
                       qobject_cast<QComboBox*>(w) != nullptr) {
                text = QPalette::ButtonText;
                back = QPalette::Button;
            } else if (qobject_cast<QMenuBar*>(w) == nullptr &&
                       qobject_cast<QMenu*>(w) == nullptr &&
                       qobject_cast<QGroupBox*>(w) == nullptr) {
                continue;
            }
            const double ratio =
                contrastRatio(w->palette().color(text), backgroundBehind(*w, back));
            // The maps-differ warning is white on pure red by design (4.0 : 1), in bold.
            const bool warning = w->objectName() == QStringLiteral("lblMapsMatch");
            EXPECT_GE(ratio, warning           ? 3.99
                             : isLargeText(*w) ? 3.0
                                               : 4.5)
                << theme << ": " << qPrintable(window->objectName()) << "/"
                << qPrintable(w->objectName()) << " " << w->metaObject()->className();
            ++checked;
        }
    }
    EXPECT_GT(checked, 50) << theme;
}

TEST_F(Shell, HighContrastRecoloursEveryWindowAndLaterWindowsFollow) {
    start();
    main().statusPanel()->showCautionBadge(QStringLiteral("CAUTION"),
                                           Rgb{255, 255, 0});  // own colour
    main().action("mnuProperties")->trigger();
    auto* properties = main().findChild<CommProperties*>();
    ASSERT_NE(properties, nullptr);
    main().action("mnuGetEEPROM")->trigger();
    clock.runFor(6000);  // the comparison window reads the unit's map
    const auto compareWindows = [] {
        QList<FrmEEPROMCompare*> found;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* c = qobject_cast<FrmEEPROMCompare*>(w); c != nullptr && c->isVisible()) {
                found << c;
            }
        }
        return found;
    };
    ASSERT_EQ(compareWindows().size(), 1);
    FrmEEPROMCompare* compare = compareWindows().front();
    main().action("mnuGetEEPROM")->trigger();  // brings the open one forward
    EXPECT_EQ(compareWindows(), QList<FrmEEPROMCompare*>{compare});
    expectReadable("normal");
    test::saveScreenshot(main(), QStringLiteral("main-window.png"));

    main().action("mnuHiCon")->trigger();
    EXPECT_TRUE(main().action("mnuHiCon")->isChecked());
    EXPECT_FALSE(main().action("mnuNormalView")->isChecked());
    for (QWidget* window : {static_cast<QWidget*>(&main()), static_cast<QWidget*>(properties),
                            static_cast<QWidget*>(&frmInProcessWindow::instance())}) {
        EXPECT_EQ(window->palette().color(QPalette::Window), windowColour())
            << qPrintable(window->objectName());
    }
    EXPECT_EQ(main().menuBar()->palette().color(QPalette::Window), windowColour());
    EXPECT_EQ(
        main().findChild<QMenu*>(QStringLiteral("mnuFile"))->palette().color(QPalette::Window),
        windowColour());
    EXPECT_EQ(main().statusPanel()->txtInformation()->palette().color(QPalette::Base),
              windowColour());
    EXPECT_EQ(main().button("btnInitialize")->palette().color(QPalette::Button), windowColour());
    EXPECT_EQ(main().lgCal()->palette().color(QPalette::Window), windowColour());
    const QColor caution = main().label("lblCaution")->palette().color(QPalette::Window);
    EXPECT_EQ(caution, QColor(255, 255, 0)) << "a label's own colour is kept";
    EXPECT_EQ(compare->palette().color(QPalette::Window), windowColour());
    QWidget* mapsMatch = compare->findChild<QWidget*>(QStringLiteral("lblMapsMatch"));
    EXPECT_EQ(mapsMatch->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(mapsMatch->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    EXPECT_TRUE(compare->highContrast());
    expectReadable("high contrast");
    test::saveScreenshot(main(), QStringLiteral("high-contrast.png"));

    // A window opened later takes high contrast by itself.
    main().action("mnuAbout")->trigger();
    auto* about = main().findChild<FrmAbout*>();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->palette().color(QPalette::Window), windowColour());

    main().action("mnuNormalView")->trigger();
    EXPECT_TRUE(main().action("mnuNormalView")->isChecked());
    EXPECT_FALSE(main().action("mnuHiCon")->isChecked());
    EXPECT_EQ(main().palette().color(QPalette::Window), faceColour());
    EXPECT_EQ(main().statusPanel()->txtInformation()->palette().color(QPalette::Base),
              faceColour());
    EXPECT_EQ(about->palette().color(QPalette::Window), faceColour());
    EXPECT_EQ(main().label("lblCaution")->palette().color(QPalette::Window), caution);
    EXPECT_EQ(mapsMatch->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_FALSE(compare->highContrast());
    expectReadable("normal again");
}

TEST(ThemeRules, ControlsAreGroupedByTheWordsInTheirNames) {
    const struct {
        const char* name;
        unsigned groups;
    } cases[] = {
        {"lblCalQual", kLabelsGroup},
        {"DataBox", kLabelsGroup},
        {"Frame1", kLabelsGroup},
        {"optDecimal", kLabelsGroup},
        {"txtTerminal", kTextGroup},
        {"chkRepeat", kTextGroup},
        {"btnClose", kButtonsGroup},
        {"Command1", kButtonsGroup},
        {"lgCal", kGaugeGroup},
        {"LBLFRAMETEXT", kLabelsGroup | kTextGroup},
        {"cboRate", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(themeGroupsOf(QLatin1String(c.name)), c.groups) << c.name;
    }
    QPalette desktop;
    desktop.setColor(QPalette::Base, QColor(1, 2, 3));
    desktop.setColor(QPalette::Button, QColor(4, 5, 6));
    EXPECT_EQ(TranslateColour(kWindowColour, desktop), QColor(1, 2, 3));
    EXPECT_EQ(TranslateColour(kFaceColour, desktop), QColor(4, 5, 6));
    EXPECT_EQ(TranslateColour(kRed, desktop), QColor(255, 0, 0));
    EXPECT_EQ(TranslateColour(0x00336699, desktop), QColor(0x99, 0x66, 0x33));
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(QColor(255, 0, 0), Qt::white), 4.0, 0.01);
}

// --- Help and About ---

TEST_F(Shell, HelpOpensTheDocumentNextToTheProgramOrSaysItIsMissing) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    services.programFolder = folder.path();
    start();
    main().action("mnuHelpContents")->trigger();
    ASSERT_EQ(boxes.shown().size(), 1U);
    EXPECT_EQ(boxes.shown()[0].prompt, QStringLiteral("Help file not found"));
    EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Tarquel"));
    EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::None);
    EXPECT_TRUE(desktop.opened().isEmpty());

    QFile help(folder.filePath(QLatin1String(kHelpFileName)));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    main().action("mnuHelpContents")->trigger();
    EXPECT_EQ(boxes.shown().size(), 1U);
    EXPECT_EQ(desktop.opened(), QStringList{QFileInfo(help).canonicalFilePath()});
}

}  // namespace
}  // namespace tarquel
