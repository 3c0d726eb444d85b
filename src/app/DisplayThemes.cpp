#include "app/DisplayThemes.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFrame>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>
#include <cmath>

namespace tarquel {

namespace {

const QString kMapsMatchLabel = QStringLiteral("lblMapsMatch");
const QString kTerminalBox = QStringLiteral("txtTerminal");

double channelLuminance(int value) {
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour) {
    return 0.2126 * channelLuminance(colour.red()) + 0.7152 * channelLuminance(colour.green()) +
           0.0722 * channelLuminance(colour.blue());
}

void setRole(QWidget& widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(role, colour);
    widget.setPalette(palette);
}

// The appearance request: flat or three-dimensional. Only framed controls have one to change.
void requestAppearance(QWidget& control, DisplayTheme theme) {
    auto* frame = qobject_cast<QFrame*>(&control);
    if (frame == nullptr || frame->frameShape() == QFrame::NoFrame) {
        return;
    }
    frame->setFrameShadow(theme == DisplayTheme::HighContrast ? QFrame::Plain : QFrame::Sunken);
}

}  // namespace

bool NameContainsAny(const QString& text, const QStringList& words) {
    for (const QString& word : words) {
        if (text.contains(word, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

unsigned themeGroupsOf(const QString& name) {
    static const QStringList labels{QStringLiteral("Label"), QStringLiteral("DataBox"),
                                    QStringLiteral("lbl"), QStringLiteral("Frame"),
                                    QStringLiteral("opt")};
    static const QStringList text{QStringLiteral("txt"), QStringLiteral("Text"),
                                  QStringLiteral("chk")};
    static const QStringList buttons{QStringLiteral("btn"), QStringLiteral("Command"),
                                     QStringLiteral("Button")};
    static const QStringList gauge{QStringLiteral("lgCal")};
    unsigned groups = 0;
    groups |= NameContainsAny(name, labels) ? kLabelsGroup : 0U;
    groups |= NameContainsAny(name, text) ? kTextGroup : 0U;
    groups |= NameContainsAny(name, buttons) ? kButtonsGroup : 0U;
    groups |= NameContainsAny(name, gauge) ? kGaugeGroup : 0U;
    return groups;
}

QColor TranslateColour(quint32 colour, const QPalette& desktop) {
    if ((colour & 0x80000000U) != 0) {
        switch (colour & 0xFFU) {
            case 5:
                return desktop.color(QPalette::Base);
            case 15:
                return desktop.color(QPalette::Button);
            case 8:
                return desktop.color(QPalette::Text);
            case 18:
                return desktop.color(QPalette::ButtonText);
            default:
                return desktop.color(QPalette::Window);
        }
    }
    return QColor(static_cast<int>(colour & 0xFFU), static_cast<int>((colour >> 8) & 0xFFU),
                  static_cast<int>((colour >> 16) & 0xFFU));
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

DisplayThemes::DisplayThemes(QPalette desktop) : desktop_(std::move(desktop)) {}

QColor DisplayThemes::background(DisplayTheme theme) const {
    return TranslateColour(theme == DisplayTheme::HighContrast ? kWindowColour : kFaceColour,
                           desktop_);
}

void DisplayThemes::applyToAllWindows(DisplayTheme theme) {
    current_ = theme;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        // Menus are recoloured with the window that owns them; a tool tip has no theme.
        if (qobject_cast<QMenu*>(window) != nullptr || window->windowType() == Qt::ToolTip) {
            continue;
        }
        applyToWindow(*window, theme);
    }
}

void DisplayThemes::applyToWindow(QWidget& window, DisplayTheme theme) const {
    const QColor colour = background(theme);
    setRole(window, QPalette::Window, colour);
    // The menu bar and all its submenus take the window's colour.
    for (QMenuBar* bar : window.findChildren<QMenuBar*>()) {
        setRole(*bar, QPalette::Window, colour);
        setRole(*bar, QPalette::Button, colour);
    }
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        setRole(*menu, QPalette::Window, colour);
        setRole(*menu, QPalette::Base, colour);
    }
    applyToControl(window, theme);
    for (QWidget* control : window.findChildren<QWidget*>()) {
        applyToControl(*control, theme);
    }
}

void DisplayThemes::applyToControl(QWidget& control, DisplayTheme theme) const {
    const QString name = control.objectName();
    if (name.isEmpty()) {
        return;
    }
    const unsigned groups = themeGroupsOf(name);
    const QColor colour = background(theme);
    if ((groups & kLabelsGroup) != 0) {
        // A label keeps a colour of its own; the theme's colour that is not given back is the
        // other theme's default, which the label then leaves for the new one.
        const QColor notGivenBack = TranslateColour(
            theme == DisplayTheme::HighContrast ? kFaceColour : kWindowColour, desktop_);
        const bool ownColour = control.palette().isBrushSet(QPalette::Active, QPalette::Window) &&
                               control.palette().color(QPalette::Window) != notGivenBack &&
                               control.palette().color(QPalette::Window) != colour;
        requestAppearance(control, theme);
        if (name == kMapsMatchLabel) {
            control.setAutoFillBackground(true);
            setRole(control, QPalette::Window, TranslateColour(kRed, desktop_));
            setRole(control, QPalette::WindowText, TranslateColour(kWhite, desktop_));
        } else if (!ownColour) {
            setRole(control, QPalette::Window, colour);
        }
    }
    if ((groups & kTextGroup) != 0) {
        requestAppearance(control, theme);
        const QColor box = name == kTerminalBox ? TranslateColour(kWindowColour, desktop_) : colour;
        setRole(control, QPalette::Base, box);
        if (auto* area = qobject_cast<QAbstractScrollArea*>(&control)) {
            setRole(*area->viewport(), QPalette::Base, box);
        }
    }
    if ((groups & kButtonsGroup) != 0) {
        setRole(control, QPalette::Button, colour);
    }
    if ((groups & kGaugeGroup) != 0) {
        control.setAutoFillBackground(true);
        setRole(control, QPalette::Window, colour);
    }
}

}  // namespace tarquel
