#pragma once

#include <QFont>
#include <QString>

namespace tarquel {

// One line of label text is 195 twips high in the dialog windows' design.
constexpr int kTextLineTwips = 195;

// The dialog labels' font: the application font, sized so that a line fits in 195 twips.
QFont dialogLabelFont();

// Text as a label shows it: carriage return + line feed and lone carriage returns break lines.
QString displayText(const QString& text);

struct TextExtent {
    int width = 0;   // twips, the longest line
    int height = 0;  // twips, lines × 195
};

// The text on as many lines as it has line breaks (an empty text is one line).
TextExtent measureText(const QString& text, const QFont& font);
// Height in twips of the text wrapped at word boundaries within widthTwips.
int wrappedTextHeight(const QString& text, const QFont& font, int widthTwips);

}  // namespace tarquel
