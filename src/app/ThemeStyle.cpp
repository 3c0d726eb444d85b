#include "app/ThemeStyle.h"

#include <QStyleOption>

namespace tarquel {

namespace {

// Cache keys remembered before the table starts again (controls times palette changes).
constexpr qsizetype kRememberedKeys = 4096;

}  // namespace

ThemeStyle::ThemeStyle(QStyle* base) : QProxyStyle(base) {}

const QPalette& ThemeStyle::drawingPalette(const QPalette& palette) const {
    const qint64 key = palette.cacheKey();
    if (const auto found = byCacheKey_.constFind(key); found != byCacheKey_.cend()) {
        return palettes_[static_cast<std::size_t>(*found)];
    }
    int index = -1;
    for (std::size_t i = 0; i < palettes_.size(); ++i) {
        if (palettes_[i] == palette) {
            index = static_cast<int>(i);
            break;
        }
    }
    if (index < 0) {
        if (palettes_.size() >= static_cast<std::size_t>(kDistinctPalettes)) {
            // Colours beyond the themes' own (a control recoloured many times): start again.
            palettes_.clear();
            byCacheKey_.clear();
        }
        palettes_.push_back(palette);
        index = static_cast<int>(palettes_.size()) - 1;
    }
    if (byCacheKey_.size() >= kRememberedKeys) {
        byCacheKey_.clear();
    }
    byCacheKey_.insert(key, index);
    return palettes_[static_cast<std::size_t>(index)];
}

// The option is the caller's own object, handed on as const: its palette is swapped for the
// shared one while the base style draws, and put back afterwards.
template <typename Draw>
void ThemeStyle::drawWithSharedPalette(const QStyleOption* option, Draw draw) const {
    if (option == nullptr) {
        draw();
        return;
    }
    auto* drawn = const_cast<QStyleOption*>(option);
    const QPalette own = drawn->palette;
    QPalette shared = drawingPalette(own);
    // The colour group in use belongs to the palette value, not to its shared colours.
    shared.setCurrentColorGroup(own.currentColorGroup());
    drawn->palette = shared;
    draw();
    drawn->palette = own;
}

void ThemeStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    drawWithSharedPalette(option,
                          [&] { QProxyStyle::drawPrimitive(element, option, painter, widget); });
}

void ThemeStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const {
    drawWithSharedPalette(option,
                          [&] { QProxyStyle::drawControl(element, option, painter, widget); });
}

void ThemeStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                    QPainter* painter, const QWidget* widget) const {
    drawWithSharedPalette(
        option, [&] { QProxyStyle::drawComplexControl(control, option, painter, widget); });
}

}  // namespace tarquel
