#pragma once

#include <QHash>
#include <QPalette>
#include <QProxyStyle>
#include <vector>

namespace tarquel {

// The application's style: the platform's own, drawing every control with one shared palette
// object for each distinct set of colours.
//
// A style keeps drawn pieces (button faces, frames) in the pixmap cache under names that include
// the palette's cache key, and every palette change gives each control a palette with a new key.
// Without sharing, each theme switch would add cache names that are never looked up again, and
// the toolkit keeps the names of pieces it has dropped: memory would grow with every switch. With
// it, the two themes' pieces are found again on every switch.
class ThemeStyle : public QProxyStyle {
public:
    // Palettes with different colours kept at most (the themes need a handful).
    static constexpr int kDistinctPalettes = 32;

    explicit ThemeStyle(QStyle* base = nullptr);

    // The shared palette with the same colours as palette.
    const QPalette& drawingPalette(const QPalette& palette) const;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;

private:
    template <typename Draw>
    void drawWithSharedPalette(const QStyleOption* option, Draw draw) const;

    // Distinct colour sets, oldest first, and the shared palette found for a control's palette by
    // its cache key.
    mutable std::vector<QPalette> palettes_;
    mutable QHash<qint64, int> byCacheKey_;
};

}  // namespace tarquel
