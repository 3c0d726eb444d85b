#pragma once

#include <QString>

namespace tarquel {

// True when text is not empty and every character is 0-9, A-F or a-f.
bool IsHexString(const QString& text);
// True when text is an address or word text: exactly four hexadecimal digits (either case).
bool IsWordText(const QString& text);

// The word text of a value: floor(value) as four uppercase hexadecimal digits, a negative number
// as its 16-bit two's complement ("FFFF" for -1). Throws OverflowError when the floor lies outside
// -32768 to 32767 (or the value is not a number).
QString HexWord(float value);

// The signed 16-bit value of a four-digit word text ("FFFF" is -1). Throws TypeMismatchError when
// the text is not one to four hexadecimal digits (for example "Error").
int WordValue(const QString& wordText);

// Replaces up to count occurrences of find (count -1: all) in text, starting at the 1-based
// position start, keeping the characters before start. Case-insensitive when ignoreCase.
QString ReplaceFrom(const QString& text, const QString& find, const QString& replacement, int start,
                    int count, bool ignoreCase);

}  // namespace tarquel
