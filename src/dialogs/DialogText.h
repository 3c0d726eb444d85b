#pragma once

#include <QFont>
#include <QLabel>
#include <QPointer>
#include <QString>

namespace tarquel {

// One line of label text is 195 twips high in the dialog windows' design.
constexpr int kTextLineTwips = 195;

// The dialog labels' font: the application font, sized so that a line fits in 195 twips.
QFont dialogLabelFont();

// The window flags of the program's own dialog windows: a title bar without system buttons.
inline constexpr Qt::WindowFlags kDialogWindowFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

// A plain-text label of a dialog window in the dialog labels' font.
QLabel* dialogLabel(QWidget* parent, const QString& name, Qt::Alignment alignment);

// The one instance of an application-wide dialog window, created on first use and owned by no
// one: it goes with the application's top-level widgets. The window's constructor may be private
// with this function its friend.
template <typename Window>
Window& singleInstance() {
    static QPointer<Window> window;
    if (window.isNull()) {
        window = new Window;
    }
    return *window;
}

struct TextExtent {
    int width = 0;   // twips, the longest line
    int height = 0;  // twips, lines × 195
};

// The text on as many lines as it has line breaks (an empty text is one line).
TextExtent measureText(const QString& text, const QFont& font);
// Height in twips of the text wrapped at word boundaries within widthTwips.
int wrappedTextHeight(const QString& text, const QFont& font, int widthTwips);

}  // namespace tarquel
