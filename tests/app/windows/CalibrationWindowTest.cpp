// The calibration area as the workflow's view: each call reaches its widgets.
#include "calibration/CalGaugeWidget.h"
#include "calibration/CalibrationPanel.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QLabel>
#include <QPushButton>

namespace tarquel {
namespace {

class CalibrationPanelTest : public ::testing::Test {
protected:
    CalibrationPanelTest() {
        panel.setOutside({&properties, &terminal, &eeprom, &calMode, &dataLabel5, &label9});
        panel.show();
    }
    QString text(const char* name) const {
        return panel.findChild<QLabel*>(QLatin1String(name))->text();
    }
    QWidget* widget(const char* name) const {
        return panel.findChild<QWidget*>(QLatin1String(name));
    }

    CalPlotModel plot;
    CalibrationPanel panel{plot};
    QAction properties, terminal, eeprom, calMode;
    QLabel dataLabel5{QStringLiteral("Calc Heading")};
    QLabel label9;
};

TEST_F(CalibrationPanelTest, EachViewCallReachesItsWidgets) {
    panel.setPointCaptions(1, QStringLiteral("88.1"), QStringLiteral("50"), QStringLiteral("-260"));
    EXPECT_EQ(text("lblHdg_1"), QStringLiteral("88.1"));
    EXPECT_EQ(text("lblHxMag_1"), QStringLiteral("50"));
    EXPECT_EQ(text("lblHyMag_1"), QStringLiteral("-260"));

    CalibrationResult result;
    result.xBiasText = QStringLiteral("-50");
    result.xBiasWord = QStringLiteral("FDDD");
    result.yGainWord = QStringLiteral("0000");
    result.calQualText = QStringLiteral("1.20 dg.");
    result.calMsgText = QStringLiteral("Cal recommended");
    panel.showResult(result, 2);
    EXPECT_EQ(text("lblXBias_0"), QStringLiteral("-50"));
    EXPECT_EQ(text("lblXBias_1"), QStringLiteral("FDDD"));
    EXPECT_EQ(text("lblYGain_1"), QStringLiteral("0000"));
    EXPECT_EQ(text("lblCalQual"), QStringLiteral("1.20 dg."));
    EXPECT_EQ(text("lblCalMsg"), QStringLiteral("Cal recommended"));
    EXPECT_TRUE(widget("imFace")->isVisible());
    panel.showResult(CalibrationResult{}, 0);
    EXPECT_FALSE(widget("imFace")->isVisible());

    panel.setTestDisplay(true);
    EXPECT_TRUE(widget("sRect")->isVisible());
    EXPECT_EQ(dataLabel5.text(), QStringLiteral("Calc Hdg"));
    EXPECT_TRUE(dataLabel5.font().bold());
    panel.setTestDisplay(false);
    EXPECT_FALSE(widget("sRect")->isVisible());
    EXPECT_EQ(dataLabel5.text(), QStringLiteral("Calc Heading"));

    panel.setControlEnabled(CalControl::btnEEPROM, true);
    panel.setControlEnabled(CalControl::mnuProperties, false);
    EXPECT_TRUE(panel.button(CalControl::btnEEPROM)->isEnabled());
    EXPECT_FALSE(properties.isEnabled());
    panel.focusControl(CalControl::btnEEPROM);
    EXPECT_EQ(panel.focusWidget(), panel.button(CalControl::btnEEPROM));
    panel.setFormatCaption(QStringLiteral("Binary"));
    EXPECT_EQ(label9.text(), QStringLiteral("Binary"));
    panel.lgCal()->setGaugeVisible(true);
    panel.hideGauge();
    EXPECT_FALSE(panel.lgCal()->gaugeVisible());
}

}  // namespace
}  // namespace tarquel
