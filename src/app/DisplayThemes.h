#pragma once

#include <QColor>
#include <QPalette>
#include <QString>
#include <QStringList>

class QWidget;

namespace tarquel {

enum class DisplayTheme { Normal, HighContrast };

// Colours as the themes name them: an RGB value with red in the low byte, or a reference to a
// system colour (its index with the top bit set).
inline constexpr quint32 kWindowColour = 0x80000005;
inline constexpr quint32 kFaceColour = 0x8000000F;
inline constexpr quint32 kRed = 0x000000FF;
inline constexpr quint32 kWhite = 0x00FFFFFF;

// True when any of the words occurs in text, ignoring letter case.
bool NameContainsAny(const QString& text, const QStringList& words);

// The groups a control belongs to by its name; a name may be in several, applied in this order.
enum ThemeGroup : unsigned {
    kLabelsGroup = 1U,
    kTextGroup = 2U,
    kButtonsGroup = 4U,
    kGaugeGroup = 8U,
};
unsigned themeGroupsOf(const QString& name);

// Resolves a system-colour reference against the desktop's palette (window colour: its base,
// face colour: its button colour); RGB values pass unchanged.
QColor TranslateColour(quint32 colour, const QPalette& desktop);

// The contrast ratio of two colours, 1 to 21 (relative luminance as the accessibility rules define
// it).
double contrastRatio(const QColor& a, const QColor& b);

// Recolours windows for the normal or the high-contrast theme. The colours come from the desktop's
// palette as it was when the program started, so both themes follow the desktop's own colours.
// Every colour change is a palette change: nothing is allocated per application that outlives it.
class DisplayThemes {
public:
    explicit DisplayThemes(QPalette desktop);

    // Applies the theme to every loaded top-level window, hidden ones included.
    void applyToAllWindows(DisplayTheme theme);
    // Applies the theme to one window and its controls (menus included).
    void applyToWindow(QWidget& window, DisplayTheme theme) const;

    DisplayTheme current() const { return current_; }
    QColor background(DisplayTheme theme) const;

private:
    void applyToControl(QWidget& control, DisplayTheme theme) const;

    QPalette desktop_;
    DisplayTheme current_ = DisplayTheme::Normal;
};

}  // namespace tarquel
