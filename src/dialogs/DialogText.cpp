#include "dialogs/DialogText.h"

#include "platform/LineEnds.h"
#include "platform/NamedLabel.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStringList>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>

namespace tarquel {

namespace {

// Smallest twips value that converts back to at least px pixels, so that measured text fits.
int coveringTwips(int px) {
    int twips = pixelsToTwips(px);
    while (twipsToPixels(twips) < px) {
        ++twips;
    }
    return twips;
}

int lineCount(const QString& paragraph, const QFont& font, int widthPx) {
    QTextLayout layout(paragraph, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    int lines = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(widthPx);
        ++lines;
    }
    layout.endLayout();
    return std::max(lines, 1);
}

}  // namespace

QFont dialogLabelFont() {
    QFont font = QApplication::font();
    const int linePx = std::max(twipsToPixels(kTextLineTwips), 8);
    int size = linePx - 2;
    font.setPixelSize(size);
    while (size > 6 && QFontMetrics(font).lineSpacing() > linePx) {
        font.setPixelSize(--size);
    }
    return font;
}

QLabel* dialogLabel(QWidget* parent, const QString& name, Qt::Alignment alignment) {
    QLabel* label = namedLabel(parent, name, QString(), alignment);
    label->setTextFormat(Qt::PlainText);
    label->setFont(dialogLabelFont());
    return label;
}

TextExtent measureText(const QString& text, const QFont& font) {
    const QFontMetrics metrics(font);
    const QStringList lines = plainLines(text).split(QLatin1Char('\n'));
    int widest = 0;
    for (const QString& line : lines) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    return {coveringTwips(widest), static_cast<int>(lines.size()) * kTextLineTwips};
}

int wrappedTextHeight(const QString& text, const QFont& font, int widthTwips) {
    const int widthPx = std::max(twipsToPixels(widthTwips), 1);
    int lines = 0;
    for (const QString& paragraph : plainLines(text).split(QLatin1Char('\n'))) {
        lines += lineCount(paragraph, font, widthPx);
    }
    return lines * kTextLineTwips;
}

}  // namespace tarquel
