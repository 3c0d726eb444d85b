#include "unitlink/HexText.h"

#include "platform/Errors.h"

#include <cmath>

namespace tarquel {

bool IsHexString(const QString& text) {
    if (text.isEmpty()) {
        return false;
    }
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool hex =
            (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F') || (u >= u'a' && u <= u'f');
        if (!hex) {
            return false;
        }
    }
    return true;
}

bool IsWordText(const QString& text) {
    return text.size() == 4 && IsHexString(text);
}

QString HexWord(float value) {
    const double floored = std::floor(static_cast<double>(value));
    if (!std::isfinite(floored) || floored < -32768.0 || floored > 32767.0) {
        throw OverflowError();
    }
    const int n = static_cast<int>(floored);
    if (n < 0) {
        return QString::number(n + 65536, 16).toUpper();
    }
    return QString::number(n, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

int WordValue(const QString& wordText) {
    if (wordText.size() > 4 || !IsHexString(wordText)) {
        throw TypeMismatchError();
    }
    const int value = wordText.toInt(nullptr, 16);
    return value > 32767 ? value - 65536 : value;
}

QString ReplaceFrom(const QString& text, const QString& find, const QString& replacement, int start,
                    int count, bool ignoreCase) {
    const int from = std::max(start, 1) - 1;
    if (find.isEmpty() || from >= text.size()) {
        return text;
    }
    const Qt::CaseSensitivity cs = ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    QString result = text.left(from);
    qsizetype position = from;
    int done = 0;
    while (count < 0 || done < count) {
        const qsizetype found = text.indexOf(find, position, cs);
        if (found < 0) {
            break;
        }
        result += text.mid(position, found - position) + replacement;
        position = found + find.size();
        ++done;
    }
    result += text.mid(position);
    return result;
}

}  // namespace tarquel
