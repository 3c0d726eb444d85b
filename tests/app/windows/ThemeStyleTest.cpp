// The program's style draws exactly as the platform's style does, while handing it one palette
// object per colour set, so that theme switches find the style's cached pieces again; and the
// colour rules of the display themes.
#include "app/DisplayThemes.h"
#include "app/ThemeStyle.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <memory>
#include <utility>
#include <vector>

namespace tarquel {
namespace {

// A base style that notes the palette each drawing reaches it with.
class PaletteRecorder : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        drawnKeys.push_back(option->palette.cacheKey());
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
    mutable std::vector<qint64> drawnKeys;
};

// A push button face drawn by style with the given palette and state; the option's palette must
// come back as it was handed over.
QImage buttonFace(QStyle& style, const QPalette& palette, QStyle::State state) {
    QImage image(80, 30, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QStyleOptionButton option;
    option.rect = image.rect();
    option.palette = palette;
    option.state = state;
    option.text = QStringLiteral("Enter");
    QPainter painter(&image);
    style.drawControl(QStyle::CE_PushButton, &option, &painter, nullptr);
    EXPECT_EQ(option.palette.cacheKey(), palette.cacheKey());
    return image;
}

TEST(ThemeStyle, DrawsAsThePlatformStyleWithOnePaletteObjectPerColourSet) {
    std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("Fusion")));
    auto* recorder = new PaletteRecorder(QStyleFactory::create(QStringLiteral("Fusion")));
    ThemeStyle style(recorder);
    const struct {
        QColor button;
        QStyle::State state;
        QPalette::ColorGroup group;
    } cases[] = {
        {QColor(0x33, 0x66, 0x99), QStyle::State_Enabled | QStyle::State_Sunken, QPalette::Active},
        {QColor(Qt::yellow), QStyle::State_Raised, QPalette::Disabled},
    };
    for (const auto& c : cases) {
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Button, c.button);
        palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x00, 0x00));
        palette.setCurrentColorGroup(c.group);
        // The same colours in separate data, as two recoloured controls have.
        QPalette twin = palette;
        twin.setColor(QPalette::Window, Qt::black);
        twin.setColor(QPalette::Window, palette.color(QPalette::Window));
        ASSERT_NE(twin.cacheKey(), palette.cacheKey());
        const QImage expected = buttonFace(*plain, palette, c.state);
        recorder->drawnKeys.clear();
        EXPECT_EQ(buttonFace(style, palette, c.state), expected) << c.group;
        const std::vector<qint64> keys = std::exchange(recorder->drawnKeys, {});
        // The second drawing comes from the style's cache under the shared palette.
        EXPECT_EQ(buttonFace(style, twin, c.state), expected) << c.group;
        ASSERT_FALSE(keys.empty());
        EXPECT_EQ(recorder->drawnKeys, keys) << "one palette object for equal colours";
    }
}

TEST(ThemeRules, GroupsByNameColoursAndContrast) {
    EXPECT_EQ(themeGroupsOf(QStringLiteral("LBLFRAMETEXT")), kLabelsGroup | kTextGroup);
    EXPECT_EQ(themeGroupsOf(QStringLiteral("cboRate")), 0U);
    EXPECT_EQ(TranslateColour(0x00336699, QPalette()), QColor(0x99, 0x66, 0x33));
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(QColor(255, 0, 0), Qt::white), 4.0, 0.01);
}

}  // namespace
}  // namespace tarquel
