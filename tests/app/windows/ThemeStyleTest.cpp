// The program's style draws exactly as the platform's style does, while handing it one palette
// object per colour set, so that theme switches find the style's cached pieces again.
#include "app/ThemeStyle.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <memory>

namespace tarquel {
namespace {

QPalette coloured(const QColor& button) {
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Button, button);
    return palette;
}

// A push button face drawn by style with the given palette and state.
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
    return image;
}

TEST(ThemeStyle, EqualColoursShareOnePaletteAndOtherColoursDoNot) {
    ThemeStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
    // Two palettes with the same colours but separate data, as two recoloured controls have.
    QPalette first = coloured(Qt::white);
    QPalette second = coloured(QColor(0xFE, 0xFE, 0xFE));
    second.setColor(QPalette::Button, Qt::white);
    ASSERT_NE(first.cacheKey(), second.cacheKey());

    const qint64 shared = style.drawingPalette(first).cacheKey();
    EXPECT_EQ(style.drawingPalette(second).cacheKey(), shared);
    EXPECT_EQ(style.drawingPalette(first).cacheKey(), shared);
    EXPECT_NE(style.drawingPalette(coloured(Qt::yellow)).cacheKey(), shared);
    EXPECT_EQ(style.drawingPalette(coloured(Qt::yellow)).color(QPalette::Button),
              QColor(Qt::yellow));
}

TEST(ThemeStyle, DrawsWhatThePlatformStyleDrawsInEveryColourGroup) {
    std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("Fusion")));
    ThemeStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette palette = coloured(QColor(0x33, 0x66, 0x99));
    palette.setColor(QPalette::Disabled, QPalette::Button, QColor(0xCC, 0x99, 0x66));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x00, 0x00));
    const struct {
        const char* name;
        QStyle::State state;
        QPalette::ColorGroup group;
    } cases[] = {
        {"enabled", QStyle::State_Enabled | QStyle::State_Raised, QPalette::Active},
        {"pressed", QStyle::State_Enabled | QStyle::State_Sunken, QPalette::Active},
        {"disabled", QStyle::State_Raised, QPalette::Disabled},
    };
    for (const auto& c : cases) {
        QPalette drawn = palette;
        drawn.setCurrentColorGroup(c.group);
        // Twice: the second drawing comes from the style's cache under the shared palette.
        for (int round = 0; round < 2; ++round) {
            EXPECT_EQ(buttonFace(style, drawn, c.state), buttonFace(*plain, drawn, c.state))
                << c.name << " round " << round;
        }
    }
}

TEST(ThemeStyle, GivesTheCallersOptionBackUnchanged) {
    ThemeStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
    const QPalette palette = coloured(Qt::cyan);
    style.drawingPalette(coloured(Qt::cyan));  // a shared palette with these colours exists
    QStyleOptionButton option;
    option.rect = QRect(0, 0, 40, 20);
    option.palette = palette;
    option.state = QStyle::State_Enabled;
    QImage image(40, 20, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    style.drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter, nullptr);
    EXPECT_EQ(option.palette.cacheKey(), palette.cacheKey());
}

}  // namespace
}  // namespace tarquel
